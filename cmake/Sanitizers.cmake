# With TARVO_SANITIZE every target is built and linked with ASan and UBSan; UBSan findings abort,
# so a test run cannot pass over undefined behaviour.
if(TARVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
