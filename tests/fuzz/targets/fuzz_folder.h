// The fuzzers feed the readers through real files, as the game meets them:
// a scratch folder becomes the working folder and each input is written
// into it under the data file's name.
#pragma once
#include <cstddef>
#include <cstdint>

// Creates the scratch folder and makes it the working folder; it is removed
// at exit. Aborts if it cannot be made. Called from LLVMFuzzerInitialize
// with libFuzzer's arguments: the corpus folders and the -dict=,
// -artifact_prefix= and -exact_artifact_path= paths among them are made
// absolute first, so they still lead where they did.
void enter_scratch_folder(int *argc, char ***argv);
// Replaces the file with exactly these bytes; aborts on failure.
void write_input(const char *name, const std::uint8_t *data, std::size_t size);
// Stops the run with a message: libFuzzer keeps the input as a crash.
[[noreturn]] void fail(const char *what, int value);
