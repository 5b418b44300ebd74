// How much native stack is left. The parser, the compiler and procedure calls all recurse in
// C++; each asks before going deeper, so that a script nesting too deeply ends in VBScript's
// "out of stack space" instead of overrunning the thread's stack.
#pragma once

namespace vbscript {

// True when the calling thread is within a safety margin of the end of its stack: room
// enough is kept for unwinding, error handling and Class_Terminate calls.
bool stackNearlyExhausted();

}  // namespace vbscript
