# The compiler and linker flags Debian builds its own packages with, for the
# .deb (the `package` preset sets INFOTEST_DEBIAN_BUILDFLAGS). They come
# from `dpkg-buildflags` of the release this runs on, as in a Debian package
# build: -O2 and the hardening, that is the stack protector,
# _FORTIFY_SOURCE and full RELRO with -z now (hardening=+all turns on the
# features Debian leaves off by default, such as bindnow). Read at configure
# time, in the source folder, so that -ffile-prefix-map maps the source
# paths to "." as in a package build.
find_program(INFOTEST_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(infotest_dpkg_buildflags kind out)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            "${INFOTEST_DPKG_BUILDFLAGS}" --get ${kind}
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${flags}" PARENT_SCOPE)
endfunction()

infotest_dpkg_buildflags(CPPFLAGS infotest_cppflags)
infotest_dpkg_buildflags(CXXFLAGS infotest_cxxflags)
infotest_dpkg_buildflags(LDFLAGS infotest_ldflags)
message(STATUS "Debian build flags: ${infotest_cppflags} ${infotest_cxxflags}; linking: ${infotest_ldflags}")

# Debian's build hands these to CMake's first configure in the environment,
# so they stand before any flags given in the cache; with the build type
# None, as in a Debian package build, CMake adds no optimisation of its own.
string(PREPEND CMAKE_CXX_FLAGS "${infotest_cppflags} ${infotest_cxxflags} ")
string(PREPEND CMAKE_EXE_LINKER_FLAGS "${infotest_ldflags} ")
