// One line for whoever started the program, where there is someone to read it.
#pragma once

#include <string>

namespace tollivane::frontend::win32 {

// A program of the Windows subsystem has a standard error only when it was redirected, or
// once it borrows the console of the one that started it; without either, the line is lost.
void sayOnStandardError(const std::string& line);

}  // namespace tollivane::frontend::win32
