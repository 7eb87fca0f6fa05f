#pragma once
// The outside world of the start-up and update flows: the network test,
// message boxes, opening documents and starting programs. The real one talks
// to Windows; tests and automated runs put their own in its place.

#include <string>

namespace tessaly {

enum class MessageIcon { Exclamation, Question, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    std::wstring text;
    std::wstring title;
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual bool IsOnline() = 0;
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    // Opens a document or a web page ("open" verb); false when it could not.
    virtual bool Open(const std::wstring& file, const std::wstring& parameters) = 0;
    // Starts the program itself, never what a file type is associated with,
    // with `folder` as its working folder and none of this process's
    // handles; false when it could not.
    virtual bool Start(const std::wstring& program, const std::wstring& parameters,
                       const std::wstring& folder) = 0;
};

} // namespace tessaly
