# Writes OUT with the project's version and the Git commit it was built from. Runs at every build,
# but rewrites the header only when the text changes, so a rebuild without a new commit compiles
# nothing. A tree without Git (an unpacked archive) says "unknown" instead of a commit.
execute_process(COMMAND git -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
                OUTPUT_VARIABLE _commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0 OR _commit STREQUAL "")
  set(_commit "unknown")
else()
  execute_process(COMMAND git -C "${SOURCE_DIR}" status --porcelain --untracked-files=no
                  OUTPUT_VARIABLE _dirty OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT _dirty STREQUAL "")
    string(APPEND _commit "-modified")
  endif()
endif()
set(_text "#pragma once\n#define MOTIF_VERSION \"${VERSION}\"\n#define MOTIF_COMMIT \"${_commit}\"\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" _old)
endif()
if(NOT "${_old}" STREQUAL "${_text}")
  file(WRITE "${OUT}" "${_text}")
endif()
