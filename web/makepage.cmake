# Puts a script, with its WebAssembly inside, into the page: one file that opens from
# disk with no network. Run as cmake -DPAGE=... -DSCRIPT=... -DOUTPUT=... -P makepage.cmake.
file(READ ${PAGE} page)
file(READ ${SCRIPT} script)
string(FIND "${script}" "</script" closing)
if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${SCRIPT} holds </script, which would end the page's script early")
endif()
string(REPLACE "<!-- the program -->" "<script>${script}</script>" page "${page}")
file(WRITE ${OUTPUT} "${page}")
