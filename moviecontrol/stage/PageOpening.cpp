#include "PageOpening.h"

#include "UrlPolicy.h"

namespace mc {

namespace {

enum RefusalKind : unsigned { NotOpenable, TooLong, NoGesture, SecondPage };

} // namespace

PageOpening::Gesture::Gesture(PageOpening* pages) : pages_(pages) {
    if (pages_ != nullptr && pages_->gestureDepth_++ == 0) {
        pages_->gestureSpent_ = false;
    }
}

PageOpening::Gesture::~Gesture() {
    if (pages_ != nullptr) {
        --pages_->gestureDepth_;
    }
}

PageOpening::Decision PageOpening::refuse(std::string_view reason, unsigned kind) {
    Decision d;
    d.reason = reason;
    d.firstOfItsKind = (loggedKinds_ & (1u << kind)) == 0;
    loggedKinds_ |= 1u << kind;
    return d;
}

PageOpening::Decision PageOpening::decide(std::string_view url) {
    if (url.size() > kMaxOpenedAddress) {
        return refuse("getURL: address longer than 4 KB refused", TooLong);
    }
    std::optional<std::string> address = openableAddress(url);
    if (!address) {
        return refuse("getURL: address refused (http or https with a host, or mailto, only)",
                      NotOpenable);
    }
    if (gestureDepth_ == 0) {
        return refuse("getURL: page dropped, not asked for by a click or key press", NoGesture);
    }
    if (gestureSpent_) {
        return refuse("getURL: page dropped, one click or key press opens one page", SecondPage);
    }
    gestureSpent_ = true;
    Decision d;
    d.verdict = readLocalFile_ ? Verdict::AskFirst : Verdict::Open;
    d.address = std::move(*address);
    return d;
}

} // namespace mc
