#pragma once
// The open descriptors of the process as the commands use them: reading an input as it
// comes, and the terminal a stream is shown on. None of these throws.
#include <cstddef>
#include <cstdio>

namespace tolvarine::platform {

// The descriptor under an open stream.
int DescriptorOf(std::FILE* stream);

// A stream over a descriptor this process inherited (a pipe its parent gave it), opened
// with the fopen mode given; closing the stream closes the descriptor. Null on failure.
std::FILE* OpenDescriptorStream(int descriptor, const char* mode);

// The descriptor of standard input.
int StandardInput();

// Asks for a pipe buffer of the given size when the descriptor is a pipe, so that its
// writer can run ahead of this process. Nothing happens for other files, or where the
// system refuses.
void WidenPipe(int descriptor, std::size_t bytes);

// Reads up to `size` bytes; an interrupted read is taken again. Returns the count (0 at the
// end of the input), or -1 with the system's error number in `error`.
long ReadSome(int descriptor, char* into, std::size_t size, int& error);

// Whether the stream is shown on a terminal.
bool IsTerminal(std::FILE* stream);

// The width in columns of the terminal the stream is shown on; 0 when it is no terminal or
// the terminal does not say.
int TerminalColumns(std::FILE* stream);

// Whether both streams are shown on one terminal (standard output and standard error of a
// command typed at a prompt).
bool SameTerminal(std::FILE* a, std::FILE* b);

}  // namespace tolvarine::platform
