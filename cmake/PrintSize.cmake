# Prints an executable's size beside its budget and fails the build when it
# is over: growth shows at once, and no program grows past what players download.
file(SIZE "${FILE}" size)
get_filename_component(name "${FILE}" NAME)
message(STATUS "size: ${name} ${size} bytes (budget ${BUDGET})")
if(size GREATER BUDGET)
  message(FATAL_ERROR "${name} is ${size} bytes, over its budget of ${BUDGET}")
endif()
