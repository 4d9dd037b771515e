# Host trees. build/host (GCC): tools, the portable core and its tests under AddressSanitizer
# and UBSan. build/fuzz (clang, TALLYLEAF_FUZZ=ON): the libFuzzer targets over the same core.
option(TALLYLEAF_FUZZ "build the libFuzzer targets (needs clang)" OFF)
if(TALLYLEAF_FUZZ)
  # Undefined behaviour ends the run like a memory fault does, so the fuzzer keeps the input.
  set(sanitizers -fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=all)
else()
  set(sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()
add_compile_options(${sanitizers})
add_link_options(-fsanitize=address,undefined)
