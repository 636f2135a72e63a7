# Our own code builds warning-free; third-party headers come in as system includes.
function(motif_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One library or executable from every .cpp below its folder, so that adding a file
# needs no edit here.
function(motif_sources out dir)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()
