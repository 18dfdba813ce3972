#pragma once
// Process control and program launch on the Win32 API: the debug privilege,
// ending every process of an image name, and starting a program through the
// shell with a bounded or unbounded wait. None of them reports a failure.
// Names and paths are code page 936 byte strings.
#ifndef _WIN32
#error "sysproc.h is part of the Windows layer"
#endif

#include <string>

namespace vexa {

// Switches on the debug privilege in this process's token, so later steps
// may open and end processes of other users or elevated ones. Cheap and
// repeatable, from any thread; without the privilege (or the token) nothing
// changes and nothing is reported.
void EnableDebugPrivilege() noexcept;

// Requests the end (exit code 0) of every running process whose image file
// name equals name, ASCII letters compared without regard to case and every
// other character exactly. Does not wait for them to end; a process that
// cannot be opened is passed over; no match means no effect.
void KillProcessByName(const std::string& name) noexcept;

// Starts file through the shell with parameters (may be empty), in the
// folder part of file (up to and including its last "\" or ":"; the
// caller's current folder when there is none). With wait_for_idle it then
// waits, without limit, until the program first waits for user input;
// otherwise until it ends or 3 s have passed. A program that cannot be
// started is reported by the shell's own message; nothing escapes.
void RunProgram(const std::string& file, const std::string& parameters, bool wait_for_idle) noexcept;

// The comparison KillProcessByName makes: the file-name part of what the
// platform reports for a process (after its last "\" or ":") against name.
// A reported name that code page 936 cannot hold matches nothing.
bool ImageNameMatches(const std::wstring& reported, const std::string& name);

}  // namespace vexa
