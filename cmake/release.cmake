# What a release is made of besides the code: the version (project(VERSION) is the one place
# for it), the changelog entry it must have, the addresses shown to users, and the date that
# stands for the source in every archive.

# Addresses are shown only when given: an address that leads nowhere is worse than none.
set(TOLLIVANE_HOMEPAGE "" CACHE STRING "The project's web address (About window, package, AppStream)")
set(TOLLIVANE_CONTACT "" CACHE STRING "The project's contact e-mail address (About texts, package)")
set(TOLLIVANE_SCREENSHOTS_URL "" CACHE STRING
    "Web folder holding main-window.png, main-window-hotkeys.png, main-window-position.png and about-window.png (AppStream)")

# The four numbers of a Windows version resource.
set(TOLLIVANE_VERSION_NUMBERS ${PROJECT_VERSION_MAJOR})
foreach(part MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    string(APPEND TOLLIVANE_VERSION_NUMBERS ",0")
  else()
    string(APPEND TOLLIVANE_VERSION_NUMBERS ",${PROJECT_VERSION_${part}}")
  endif()
endforeach()

# The changelog's newest entry must be this version's: its date is the release date.
set(changelog_file ${PROJECT_SOURCE_DIR}/resources/linux/changelog)
file(READ ${changelog_file} changelog)
string(REGEX MATCH "^tollivane \\(([^)]*)\\)" _ "${changelog}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "resources/linux/changelog begins with version '${CMAKE_MATCH_1}', but the "
                      "project's version is ${PROJECT_VERSION}: add an entry for it")
endif()
string(FIND "${changelog}" "\n -- " trailer_at)
string(SUBSTRING "${changelog}" 0 ${trailer_at} release_entry)
string(SUBSTRING "${changelog}" ${trailer_at} -1 trailer)
if(NOT trailer MATCHES "^\n -- [^\n]*>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "resources/linux/changelog: the first entry's closing line is not in Debian's form")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month LESS 10)
  set(month 0${month})
endif()
set(TOLLIVANE_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

# The entry's items ("  * ..." with continuation lines) become the AppStream release notes.
string(REGEX REPLACE "^[^\n]*\n\n" "" items "${release_entry}")
string(REGEX REPLACE "\n +" " " items "${items}")
string(REGEX REPLACE "^ *\\* " "" items "${items}")
string(REPLACE "&" "&amp;" items "${items}")
string(REPLACE "<" "&lt;" items "${items}")
string(REGEX REPLACE "[ \n]+\\* " "</li>\n          <li>" items "${items}")
string(STRIP "${items}" items)
set(TOLLIVANE_RELEASE_NOTES "<ul>\n          <li>${items}</li>\n        </ul>")

# The maintainer named in the package and its changelog. Debian requires an address there; a
# reserved .invalid one says plainly that there is none to write to.
if(TOLLIVANE_CONTACT)
  set(TOLLIVANE_MAINTAINER "The Tollivane developers <${TOLLIVANE_CONTACT}>")
else()
  set(TOLLIVANE_MAINTAINER "The Tollivane developers <tollivane@users.noreply.invalid>")
endif()

# The time every archive stamps on its files: SOURCE_DATE_EPOCH when given, else the last
# commit's time, else (a source tarball has no history) the release date.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TOLLIVANE_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE TOLLIVANE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_failed ERROR_QUIET)
  if(git_failed OR NOT TOLLIVANE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    execute_process(COMMAND date -u -d "${TOLLIVANE_RELEASE_DATE}" +%s
                    OUTPUT_VARIABLE TOLLIVANE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()

# The version and the addresses as C++ constants, for the programs and the About texts.
add_library(tollivane_release INTERFACE)
set(release_include ${CMAKE_BINARY_DIR}/include/tollivane_release)
configure_file(${PROJECT_SOURCE_DIR}/cmake/release_info.hpp.in
               ${release_include}/release/release_info.hpp @ONLY)
target_include_directories(tollivane_release INTERFACE ${release_include})
