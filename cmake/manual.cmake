# Writes the gzipped manual page of a program from its --help and --version (help2man). For
# telmora-cli, a section ÓRDENES follows with the full help of every command that --help lists.
#   cmake -DPROGRAMA=... -DNOMBRE=... -DDESCRIPCION=... -DSALIDA=x.1.gz -DHELP2MAN=... -DGZIP=...
#         -P manual.cmake
set(incluido ${SALIDA}.incluido)
file(WRITE ${incluido} "")
execute_process(COMMAND ${PROGRAMA} --help OUTPUT_VARIABLE ayuda COMMAND_ERROR_IS_FATAL ANY)
# Command lines of the general help: two spaces, the command's name, its summary.
string(REGEX MATCHALL "\n  [a-z]+ +[^\n]+" lineas "${ayuda}")
if(lineas)
  set(seccion "[ÓRDENES]\n")
  foreach(linea IN LISTS lineas)
    string(REGEX REPLACE "^\n  ([a-z]+) .*" "\\1" orden "${linea}")
    execute_process(COMMAND ${PROGRAMA} ${orden} --help OUTPUT_VARIABLE uso
                    COMMAND_ERROR_IS_FATAL ANY)
    # As literal text for roff: backslashes escaped, no line taken for a request.
    string(REPLACE "\\" "\\e" uso "${uso}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" uso "${uso}")
    string(APPEND seccion ".SS ${orden}\n.nf\n${uso}.fi\n")
  endforeach()
  file(WRITE ${incluido} "${seccion}")
endif()
execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --name=${DESCRIPCION}
          --include=${incluido} --output=${SALIDA}.tmp ${PROGRAMA}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${incluido})
# help2man names the page after the file run; the page is the installed program's.
execute_process(COMMAND ${GZIP} -9nc ${SALIDA}.tmp OUTPUT_FILE ${SALIDA} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${SALIDA}.tmp)
