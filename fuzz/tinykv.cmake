# The message model's byte formats: tinykv blobs and LINE's emoji text.
ferrowyn_add_fuzzer(fuzz_tinykv SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzTinyKv.cpp LINKS ferrowyn_line)
ferrowyn_add_fuzzer(fuzz_emoji SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzEmoji.cpp LINKS ferrowyn_line)
