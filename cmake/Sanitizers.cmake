# TALVEX_SANITIZE: "address,undefined" or "thread"; applied to everything we build.
if(TALVEX_SANITIZE)
  add_compile_options(-fsanitize=${TALVEX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALVEX_SANITIZE})
endif()
if(TALVEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage_ignore.txt)
  add_link_options(-fsanitize=address,undefined)
endif()
