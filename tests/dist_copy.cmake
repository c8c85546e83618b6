# Makes DST a fresh program folder holding the data of the build folder SRC, for the tests that
# run the game on the shipped data: the game writes its settings and last-folder files beside
# itself, and those must never land in the folder that is shipped.
file(REMOVE_RECURSE ${DST})
file(MAKE_DIRECTORY ${DST})
foreach(name plumet.map plumetogg plumetwave)
  if(EXISTS ${SRC}/${name})
    file(COPY ${SRC}/${name} DESTINATION ${DST})
  endif()
endforeach()
