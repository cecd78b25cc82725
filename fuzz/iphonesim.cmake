# The simulated iPhone's parsers of client input: usbmuxd packets, lockdownd messages, DeviceLink messages
# and file streams, AFC and installation proxy requests, keybags and MBFile archives from hosts.
ferrowyn_add_fuzzer(fuzz_iphonesim SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzIphonesim.cpp LINKS iphonesim_core)
