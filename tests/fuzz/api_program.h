// Runs a byte string as a program of calls to the exported functions and
// checks what every call must keep. Shared by the libFuzzer target and the
// corpus replay test, so that a corpus file means the same in both.
//
// Input: a sequence of operations, each [id byte][length byte][arguments].
// The id picks a function (id modulo 128; ids without an entry do nothing);
// the function's arguments are decoded from its own argument bytes, reading
// zeros past their end, so a mutation inside one call never shifts the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace owlfuzz {

struct Operation {
  uint8_t id;
  const char* name;
  bool exported;  // false for the interpreter's own operations
};

// Every operation the interpreter knows, by id.
const std::vector<Operation>& Operations();

using CallCounts = std::map<std::string, uint64_t>;
using FailureSink = std::function<void(const std::string& what)>;

// Runs one program. Each broken invariant is reported to fail with the call
// that broke it; each call of an operation is counted in counts (may be
// null). Every object the program created is deleted before returning, and
// the process-wide settings it changed are restored. With trace set, each
// call is printed to stderr before it runs.
void RunProgram(const uint8_t* data, size_t size, const FailureSink& fail, CallCounts* counts,
                bool trace = false);

}  // namespace owlfuzz
