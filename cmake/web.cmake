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
  # For Firefox 78 a newer emscripten (3.1.69 in Debian 13) would pass its
  # output through babel, which Debian's package lacks: the link fails. The
  # page's build rewrites the few newer constructs itself
  # (ui/web/lower_script.js), and the polyfills this also leaves out are for
  # browsers older than these.
  -sPOLYFILL=0
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

# The fonts are found through fontconfig, since Debian moved them: Debian 12
# has Liberation 2 in fonts-liberation2 (.../truetype/liberation2), Debian 13
# in fonts-liberation (.../truetype/liberation). fc-match always answers,
# with another family when Liberation Sans is missing, so what it finds is
# checked: the family, the style, and version 2, which the licence notice
# and the subset's characters are for. INFOTEST_LIBERATION_DIR names a folder
# holding LiberationSans-Regular.ttf and LiberationSans-Bold.ttf instead.
set(INFOTEST_LIBERATION_DIR "" CACHE PATH
  "Folder of Liberation Sans 2 (empty: found with fontconfig)")
set(infotest_liberation_install
  "install fonts-liberation2 (Debian 12) or fonts-liberation (Debian 13 and later)")
find_program(INFOTEST_FC_MATCH fc-match)
find_program(INFOTEST_FC_QUERY fc-query)
if(NOT INFOTEST_FC_MATCH OR NOT INFOTEST_FC_QUERY)
  message(FATAL_ERROR "fc-match and fc-query are missing: install fontconfig")
endif()
function(infotest_find_liberation_sans style out_var)
  if(INFOTEST_LIBERATION_DIR)
    set(file "${INFOTEST_LIBERATION_DIR}/LiberationSans-${style}.ttf")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "${file} is missing (INFOTEST_LIBERATION_DIR)")
    endif()
  else()
    execute_process(COMMAND "${INFOTEST_FC_MATCH}" -f "%{file}" "Liberation Sans:style=${style}"
      OUTPUT_VARIABLE file RESULT_VARIABLE failed)
    if(failed OR file STREQUAL "")
      message(FATAL_ERROR "fc-match found no font for Liberation Sans ${style}: "
        "${infotest_liberation_install}")
    endif()
  endif()
  execute_process(COMMAND "${INFOTEST_FC_QUERY}" -f "%{family[0]}|%{style[0]}|%{fontversion}" "${file}"
    OUTPUT_VARIABLE found RESULT_VARIABLE failed)
  if(failed OR NOT found MATCHES "^([^|]*)\\|([^|]*)\\|([0-9]+)$")
    message(FATAL_ERROR "fc-query cannot read ${file}")
  endif()
  set(family "${CMAKE_MATCH_1}")
  set(face "${CMAKE_MATCH_2}")
  # fontconfig gives the font's revision in 16.16 fixed point.
  math(EXPR major "${CMAKE_MATCH_3} / 65536")
  math(EXPR hundredths "(${CMAKE_MATCH_3} % 65536 * 100 + 32768) / 65536")
  if(NOT family STREQUAL "Liberation Sans" OR NOT face STREQUAL style OR major LESS 2)
    if(hundredths LESS 10)
      set(hundredths "0${hundredths}")
    endif()
    message(FATAL_ERROR "The page's fonts need Liberation Sans 2 ${style}; the font found is "
      "${family} ${face} version ${major}.${hundredths} (${file}): ${infotest_liberation_install}")
  endif()
  set(${out_var} "${file}" PARENT_SCOPE)
endfunction()
infotest_find_liberation_sans(Regular infotest_liberation_regular)
infotest_find_liberation_sans(Bold infotest_liberation_bold)
message(STATUS "Liberation Sans for the page: ${infotest_liberation_regular}, ${infotest_liberation_bold}")

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
    --regular ${infotest_liberation_regular}
    --bold ${infotest_liberation_bold}
    --licence ${infotest_fonts_licence}
    --output ${PROJECT_BINARY_DIR}/web/fonts.css
    ${infotest_shown_texts}
  DEPENDS ${infotest_fonts_script} ${infotest_fonts_licence} ${infotest_shown_texts}
    ${infotest_liberation_regular} ${infotest_liberation_bold}
  COMMENT "Subsetting the page's fonts"
  VERBATIM
)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/web)
add_custom_target(infotest_web_fonts DEPENDS ${PROJECT_BINARY_DIR}/web/fonts.css)
