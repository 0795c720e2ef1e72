# vantrel_targets_below(<directory> <out>): every target defined in `directory` and
# the directories added below it, for settings that apply to whole groups of them.
function(vantrel_targets_below directory out)
  set(found)
  set(directories ${directory})
  while(directories)
    list(POP_FRONT directories current)
    get_property(children DIRECTORY ${current} PROPERTY SUBDIRECTORIES)
    list(APPEND directories ${children})
    get_property(targets DIRECTORY ${current} PROPERTY BUILDSYSTEM_TARGETS)
    list(APPEND found ${targets})
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
