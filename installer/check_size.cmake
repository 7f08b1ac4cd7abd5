# cmake -DFILE=... -DLIMIT=... -DSIZE_FILE=... -P check_size.cmake: prints
# the installer's size and writes it to SIZE_FILE; fails, removing the
# installer, when it would not fit on the floppy disk.
file(SIZE ${FILE} size)
math(EXPR left "${LIMIT} - ${size}")
if(left LESS_EQUAL 0)
  file(REMOVE ${FILE})
  message(FATAL_ERROR "tindle.exe is ${size} bytes, more than the ${LIMIT} that a 1.4 MB floppy disk holds")
endif()
file(WRITE ${SIZE_FILE} "${size}\n")
message("tindle.exe: ${size} bytes, ${left} bytes to spare on a 1.4 MB floppy disk")
