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

# The page's fallback fonts, ${PROJECT_BINARY_DIR}/web/fonts.css: subsets of
# Liberation Sans holding every character written in the program's texts
# (the bank, the procedures, the layout, the window core and the page).
find_program(INFOTEST_PYTHON python3 HINTS /usr/bin REQUIRED)
set(INFOTEST_LIBERATION_DIR /usr/share/fonts/truetype/liberation2 CACHE PATH "Liberation Sans 2 fonts")
file(GLOB_RECURSE infotest_shown_texts CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/bank/*.cpp ${PROJECT_SOURCE_DIR}/bank/*.h
  ${PROJECT_SOURCE_DIR}/run/*.cpp ${PROJECT_SOURCE_DIR}/run/*.h
  ${PROJECT_SOURCE_DIR}/ui/layout/*.cpp ${PROJECT_SOURCE_DIR}/ui/layout/*.h
  ${PROJECT_SOURCE_DIR}/ui/core/*.cpp ${PROJECT_SOURCE_DIR}/ui/core/*.h
  ${PROJECT_SOURCE_DIR}/ui/web/*.cpp ${PROJECT_SOURCE_DIR}/ui/web/*.h
  ${PROJECT_SOURCE_DIR}/ui/web/*.html ${PROJECT_SOURCE_DIR}/ui/web/*.js
  ${PROJECT_SOURCE_DIR}/ui/web/*.css
)
set(infotest_fonts_script ${PROJECT_SOURCE_DIR}/assets/web_fonts.py)
set(infotest_fonts_licence ${PROJECT_SOURCE_DIR}/assets/web-fonts-licence.txt)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/web/fonts.css
  COMMAND ${INFOTEST_PYTHON} ${infotest_fonts_script}
    --regular ${INFOTEST_LIBERATION_DIR}/LiberationSans-Regular.ttf
    --bold ${INFOTEST_LIBERATION_DIR}/LiberationSans-Bold.ttf
    --licence ${infotest_fonts_licence}
    --output ${PROJECT_BINARY_DIR}/web/fonts.css
    ${infotest_shown_texts}
  DEPENDS ${infotest_fonts_script} ${infotest_fonts_licence} ${infotest_shown_texts}
    ${INFOTEST_LIBERATION_DIR}/LiberationSans-Regular.ttf
    ${INFOTEST_LIBERATION_DIR}/LiberationSans-Bold.ttf
  COMMENT "Subsetting the page's fonts"
  VERBATIM
)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/web)
add_custom_target(infotest_web_fonts DEPENDS ${PROJECT_BINARY_DIR}/web/fonts.css)
