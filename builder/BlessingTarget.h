#pragma once

#include <QColor>
#include <string>

namespace builder {

// Where the blessing editor puts what the user writes: the main window's blessing label.
class BlessingTarget {
  public:
    virtual ~BlessingTarget() = default;
    // The person changed the editor's text (the default poem counts as no text of theirs).
    virtual void blessingEdited(const std::string& text) = 0;
    virtual void setPassword(const std::string& text) = 0;
    virtual void setAuthor(const std::string& text) = 0;
    virtual void setTitle(const std::string& text) = 0;
    virtual void setBlessingColour(const QColor& colour) = 0;
};

} // namespace builder
