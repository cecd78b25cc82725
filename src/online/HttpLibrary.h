#pragma once

// Initialises libcurl for the whole process (SSL and sockets); later calls do nothing.
void initHttpLibrary();
