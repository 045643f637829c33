# Writes the gzipped manual page of a program from its --help and --version (help2man). For
# telmora-cli, a section ÓRDENES follows with the full help of every command that --help lists.
#   cmake -DPROGRAMA=... -DNOMBRE=... -DDESCRIPCION=... -DSALIDA=x.1.gz -DHELP2MAN=... -DGZIP=...
#         -P manual.cmake
execute_process(COMMAND ${PROGRAMA} --help OUTPUT_VARIABLE ayuda COMMAND_ERROR_IS_FATAL ANY)
# The commands are the lines of the general help made of two spaces, a name and its summary.
string(REGEX MATCHALL "\n  [a-z]+ " ordenes "${ayuda}")
# The page's name line goes through the included file, which help2man reads as UTF-8 as it
# reads the program's output (an argument would be taken for Latin-1).
set(incluido "[NAME]\n${NOMBRE} \\- ${DESCRIPCION}\n")
if(ordenes)
  string(APPEND incluido "[ÓRDENES]\n")
  foreach(orden IN LISTS ordenes)
    string(STRIP "${orden}" orden)
    execute_process(COMMAND ${PROGRAMA} ${orden} --help OUTPUT_VARIABLE uso
                    COMMAND_ERROR_IS_FATAL ANY)
    # As literal text for roff: backslashes escaped, no line taken for a request.
    string(REPLACE "\\" "\\e" uso "${uso}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" uso "${uso}")
    string(APPEND incluido ".SS ${orden}\n.nf\n${uso}.fi\n")
  endforeach()
endif()
file(WRITE ${SALIDA}.incluido "${incluido}")
execute_process(
  COMMAND ${HELP2MAN} --locale=C.UTF-8 --no-info --no-discard-stderr --section=1
          --include=${SALIDA}.incluido --output=${SALIDA}.tmp ${PROGRAMA}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${SALIDA}.incluido)
execute_process(COMMAND ${GZIP} -9nc ${SALIDA}.tmp OUTPUT_FILE ${SALIDA} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${SALIDA}.tmp)
