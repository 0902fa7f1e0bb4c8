// ShowMessageBox: hands the box to the front end's handler, or writes it to stderr.
#include "support/message_box.h"

#include <cstdio>

namespace {
MessageBoxHandler messageBoxHandler = nullptr;
}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    messageBoxHandler = handler;
}

int32_t ShowMessageBox(const char* text, int32_t type, const char* caption)
{
    if (messageBoxHandler != nullptr) return messageBoxHandler(text, type, caption);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return messageBoxIdOk;
}
