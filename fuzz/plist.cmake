# Property lists from outside: parsing, walking and the keyed-archive routines.
ferrowyn_add_fuzzer(fuzz_plist SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_plist.cpp LINKS ferrowyn_plist)
