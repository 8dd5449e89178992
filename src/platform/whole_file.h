// Reading a whole file, however its size changes while it is read.
#ifndef BRELLAM_PLATFORM_WHOLE_FILE_H_
#define BRELLAM_PLATFORM_WHOLE_FILE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace brellam {

// Answers like read(): how many bytes it put at `into` (at most `size`),
// 0 at the end of the file, -1 on an error.
using ReadSome = std::function<std::int64_t(char* into, std::size_t size)>;

// Lets the platform see the buffer before it is filled (a memory hint).
using PrepareBuffer = std::function<void(char* data, std::size_t size)>;

// Reads to the end of the file. `expected_size`, what the file says it
// holds, sizes the buffer, with room for two more bytes so that a caller
// that ends the text with a line end never has to move it. Answers -1 on
// an error or when the bytes cannot be held in memory, else the count;
// `bytes` is replaced only when the count is positive.
std::int64_t ReadWholeFile(std::uint64_t expected_size, const ReadSome& read_some,
                           std::string& bytes, const PrepareBuffer& prepare = {});

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_WHOLE_FILE_H_
