// The program's formatting path to the debugger output.
#pragma once

// Writes exactly the given characters; callers end their lines themselves.
void DebugTrace(const wchar_t* text);
