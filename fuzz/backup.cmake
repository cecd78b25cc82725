# The backup store's parsers of outside bytes: the keybag, Manifest.mbdb and MBFile archives.
ferrowyn_add_fuzzer(fuzz_keybag SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzKeybag.cpp LINKS ferrowyn_backup)
ferrowyn_add_fuzzer(fuzz_mbdb SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzMbdb.cpp LINKS ferrowyn_backup)
ferrowyn_add_fuzzer(fuzz_mbfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzMBFile.cpp LINKS ferrowyn_backup)
