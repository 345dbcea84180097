// flash.net.FileReference and FileReferenceList. A card opens no file dialogs: a browse,
// download or save is answered, once the running scripts are done, as if the person
// cancelled it. So no file is ever chosen: what describes one, or loads or sends it, is
// called out of sequence, as Flash says before a choice.
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

namespace avm2 {

namespace {

Value outOfSequence(Machine& m, const Value&, Args&) {
    m.throwError("flash.errors::IllegalOperationError", 2037,
                 "Functions called in incorrect sequence, or earlier call was unsuccessful.");
}

// The dialog would open: the person is taken to have closed it.
Value cancelled(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    queueEvent(m, o, newEvent(m, "cancel"));
    return Value::boolean(true);
}

// A list holds no array until its first browse; each browse starts a new, empty one that the
// person's choice would fill, so a cancelled browse leaves the list empty rather than absent.
constexpr std::string_view kChosenFiles = "fileList";

Value browseForList(Machine& m, const Value& s, Args& a) {
    setHiddenField(s, kChosenFiles, Value::object(m.newArray()));
    return cancelled(m, s, a);
}

} // namespace

void installFileReferences(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* file = m.defineClass("flash.net", "FileReference", dispatcher);
    file->sealed = true;
    for (const char* name :
         {"name", "size", "type", "creationDate", "modificationDate", "creator", "extension"}) {
        m.defineGetter(file, name, outOfSequence);
    }
    m.defineGetter(file, "data", [](Machine&, const Value&, Args&) { return Value::null(); });
    for (const char* name : {"browse", "download", "save"}) {
        m.defineMethod(file, name, cancelled);
    }
    for (const char* name : {"load", "upload", "uploadUnencoded"}) {
        m.defineMethod(file, name, outOfSequence);
    }
    m.defineMethod(file, "cancel", [](Machine&, const Value&, Args&) { return Value(); });

    Class* list = m.defineClass("flash.net", "FileReferenceList", dispatcher);
    list->sealed = true;
    m.defineMethod(list, "browse", browseForList);
    m.defineGetter(list, "fileList", [](Machine&, const Value& s, Args&) {
        return hiddenField(s, kChosenFiles, Value::null());
    });
}

} // namespace avm2
