// fuzz/FuzzSupport.h - what the fuzz targets share.
//
// A target is one LLVMFuzzerTestOneInput in fuzz/<Name>Fuzz.cpp. Built with
// clang and -DFC_FUZZ=ON it links with libFuzzer (`make fuzz`); in the
// normal build it links with ReplayMain.cpp and ctest feeds it every file of
// fuzz/corpus/<name>/, so each input that ever crashed a target is replayed
// by `make test` and `make test-asan`.
//
// The readers under test take file paths, so an input is written to a file
// first. Scratch files live in one directory per process, on the RAM disk
// when there is one (thousands of runs a second stay off the real disk):
//
//   static const std::filesystem::path file = fc::fuzz::ScratchDir() / "in.dbf";
//   fc::fuzz::WriteInput(file, data, size);
//
// A broken invariant is reported with Require(), which aborts so that both
// libFuzzer and ctest see a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace fc::fuzz {

// This process's scratch directory, created on first use, removed at exit.
const std::filesystem::path& ScratchDir();

// Replaces `file` with `size` bytes of `data`; aborts when it cannot, since a
// target whose input never reaches the reader tests nothing.
void WriteInput(const std::filesystem::path& file, const uint8_t* data, size_t size);

// Aborts with `what` on stderr when `condition` does not hold.
void Require(bool condition, std::string_view what);

// The shipped data directory of the source tree (layouts, company list).
std::filesystem::path DataDir();

}  // namespace fc::fuzz
