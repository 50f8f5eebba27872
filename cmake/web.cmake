# Flags for the browser build (emscripten), for the page and the tests alike.

# The logic's error path catches exceptions; without -fexceptions at compile
# and link time emscripten turns the first throw into an abort.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The oldest browsers the page is meant for, the ones schools still had in
# 2020: emscripten then emits no newer script or WebAssembly features.
add_link_options(
  -sMIN_CHROME_VERSION=85
  -sMIN_FIREFOX_VERSION=78
  -sMIN_SAFARI_VERSION=140000
)

# ctest runs the test programs under Node. Node 20's own fetch makes
# emscripten's loader fetch the .wasm beside the .js as a URL, which fails;
# without it the loader reads the file from disk.
find_program(INFOTEST_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${INFOTEST_NODE} --no-experimental-fetch)
