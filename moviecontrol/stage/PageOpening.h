#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mc {

// Whether a web page a script asks for (getURL) opens. A movie may be a stranger's program:
// a page opens only in answer to a person's click or key press, one per such event, and
// once the movie has read a file of the person's, only after the person saw the address
// and agreed (the page could carry what was read).
class PageOpening {
  public:
    enum class Verdict { Open, AskFirst, Refused };
    struct Decision {
        Verdict verdict = Verdict::Refused;
        // The address to open, as cleaned (mailto fields dropped); empty when refused.
        std::string address;
        // Why it was refused, for the log; empty unless refused.
        std::string_view reason;
        // True the first time this reason came up: each is logged once.
        bool firstOfItsKind = false;
    };

    // Held while the handlers of one click or key press run; nested holds count as one.
    class Gesture {
      public:
        explicit Gesture(PageOpening* pages);
        ~Gesture();
        Gesture(const Gesture&) = delete;
        Gesture& operator=(const Gesture&) = delete;

      private:
        PageOpening* pages_;
    };

    // The movie read a local file: from now on a page is asked for first.
    void localFileRead() { readLocalFile_ = true; }
    bool hasReadLocalFile() const { return readLocalFile_; }
    bool inGesture() const { return gestureDepth_ > 0; }

    // What to do with a getURL of `url` now.
    Decision decide(std::string_view url);

  private:
    Decision refuse(std::string_view reason, unsigned kind);

    int gestureDepth_ = 0;
    bool gestureSpent_ = false;
    bool readLocalFile_ = false;
    std::uint32_t loggedKinds_ = 0;
};

} // namespace mc
