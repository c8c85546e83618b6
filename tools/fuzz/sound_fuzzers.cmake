# The sound fuzz targets, included by this folder's CMakeLists (which defines plumet_add_fuzzer).
# Seeds: dist/plumetwave/*.wav for wave; dist/plumetogg/*.ogg (their first 64 KB) for song.
plumet_add_fuzzer(wave wave_fuzz.cpp plat_null)
plumet_add_fuzzer(song song_fuzz.cpp plumet_sound)
# The song target binds the decoder library the build ships (PLUMET_WUVORBIS overrides it).
target_compile_definitions(fuzz_song PRIVATE
  PLUMET_WUVORBIS_PATH="${PLUMET_DIST}/plumetogg/wuvorbis.dll")
add_dependencies(fuzz_song wuvorbis)
