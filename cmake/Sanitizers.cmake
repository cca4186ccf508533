# TALVEX_SANITIZE: "address,undefined" or "thread"; applied to everything we build.
if(TALVEX_SANITIZE)
  add_compile_options(-fsanitize=${TALVEX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALVEX_SANITIZE})
endif()
if(TALVEX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage_ignore.txt
    -fsanitize-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/sanitize_ignore.txt)
  add_link_options(-fsanitize=address,undefined)
  # The lists change how every file is built, so an edit to one builds them all again.
  foreach(list coverage_ignore sanitize_ignore)
    set(path ${CMAKE_SOURCE_DIR}/fuzz/${list}.txt)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(SHA1 ${path} hash)
    string(TOUPPER ${list} name)
    add_compile_definitions(TALVEX_FUZZ_${name}=${hash})
  endforeach()
endif()
