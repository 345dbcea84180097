#include "GenerationNote.h"

namespace cardformat {

CardNote makeGenerationNote(std::string_view password, std::string_view blessing) {
    CardNote note;
    note.Author = CardAuthor;
    note.Password = password.empty() ? NoPasswordMarker : password;
    note.Title = CardTitle;
    note.Blessing = blessing;
    note.Version = CardVersion;
    return note;
}

} // namespace cardformat
