# Compresses one file with gzip: the page carries its WebAssembly so, and the browser inflates it
# as it compiles. Run as cmake -DINPUT=... -DOUTPUT=... -P gzip.cmake.
file(ARCHIVE_CREATE OUTPUT ${OUTPUT} PATHS ${INPUT} FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
