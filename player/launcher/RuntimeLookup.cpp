#include "RuntimeLookup.h"

#include <string.h>
#include <unistd.h>

namespace launcher {

RuntimeCandidates runtimeCandidates(const char* variable, const char* installedPath,
                                    const char* libraryName) {
    if (variable != nullptr && variable[0] != '\0') {
        return {{variable, nullptr}, 1};
    }
    return {{installedPath, libraryName}, 2};
}

bool findOnPath(const char* name, const char* pathList, char* out, size_t outSize) {
    if (pathList == nullptr || name == nullptr || strchr(name, '/') != nullptr) {
        return false;
    }
    const size_t nameLength = strlen(name);
    const char* entry = pathList;
    while (true) {
        const char* end = strchr(entry, ':');
        const size_t length = end != nullptr ? static_cast<size_t>(end - entry) : strlen(entry);
        if (length > 0 && entry[0] == '/' && length + 1 + nameLength < outSize) {
            memcpy(out, entry, length);
            out[length] = '/';
            memcpy(out + length + 1, name, nameLength + 1);
            if (::access(out, X_OK) == 0) {
                return true;
            }
        }
        if (end == nullptr) {
            return false;
        }
        entry = end + 1;
    }
}

namespace {

bool plainLine(const char* line, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(line[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

void plainWrappedText(const char* text, size_t width, char* out, size_t outSize) {
    if (outSize == 0) {
        return;
    }
    size_t used = 0;
    const auto put = [&](char c) {
        if (used + 1 < outSize) {
            out[used++] = c;
        }
    };
    const char* line = text;
    while (*line != '\0') {
        const char* end = strchr(line, '\n');
        const size_t length = end != nullptr ? static_cast<size_t>(end - line) : strlen(line);
        if (plainLine(line, length)) {
            if (used > 0) {
                put('\n');
            }
            size_t column = 0;
            size_t i = 0;
            while (i < length) {
                // The next word and the blank in front of it.
                size_t wordEnd = i;
                while (wordEnd < length && line[wordEnd] != ' ') {
                    ++wordEnd;
                }
                const size_t word = wordEnd - i;
                if (column > 0 && column + 1 + word > width) {
                    put('\n');
                    column = 0;
                } else if (column > 0) {
                    put(' ');
                    ++column;
                }
                for (size_t k = i; k < wordEnd; ++k) {
                    put(line[k]);
                }
                column += word;
                i = wordEnd;
                while (i < length && line[i] == ' ') {
                    ++i;
                }
            }
        }
        if (end == nullptr) {
            break;
        }
        line = end + 1;
    }
    if (used == 0) {
        for (const char* c = text; *c != '\0'; ++c) {
            put(*c);
        }
    }
    out[used] = '\0';
}

bool messageCommand(const char* pathList, const char* title, const char* text,
                    MessageCommand& out) {
    plainWrappedText(text, 64, out.plainText, sizeof out.plainText);
    // Each tool with the arguments that show one error and wait for it to be closed (a
    // notification does not wait).
    struct Tool {
        const char* name;
        const char* arguments[6];
    };
    const Tool tools[] = {
        {"zenity", {"--error", "--no-markup", "--title", title, "--text", text}},
        {"kdialog", {"--title", title, "--error", text, nullptr, nullptr}},
        {"xmessage", {"-center", out.plainText, nullptr, nullptr, nullptr, nullptr}},
        {"notify-send", {"--urgency=critical", title, text, nullptr, nullptr, nullptr}},
    };
    for (const Tool& tool : tools) {
        if (!findOnPath(tool.name, pathList, out.program, sizeof out.program)) {
            continue;
        }
        out.argv[0] = tool.name;
        size_t i = 0;
        for (; i < 6 && tool.arguments[i] != nullptr; ++i) {
            out.argv[i + 1] = tool.arguments[i];
        }
        for (i += 1; i < 8; ++i) {
            out.argv[i] = nullptr;
        }
        return true;
    }
    return false;
}

} // namespace launcher
