#include "completado.h"

namespace telmora::cli {

namespace {

std::string opciones_de(const std::set<std::string>& nombres) {
  std::string lista;
  for (const std::string& nombre : nombres) lista += " --" + nombre;
  return lista;
}

}  // namespace

std::string guion_completado_bash(const std::vector<Comando>& comandos) {
  std::string nombres, casos;
  for (const Comando& comando : comandos) {
    nombres += std::string(nombres.empty() ? "" : " ") + comando.nombre;
    casos += "    " + std::string(comando.nombre) + ") con_valor=\"" +
             opciones_de(comando.opciones.con_valor) + "\"; banderas=\"" +
             opciones_de(comando.opciones.banderas) + " --help\" ;;\n";
  }
  return "# bash completion for telmora-cli, written by telmora-cli --completado-bash\n"
         "_telmora_cli() {\n"
         "  local actual=${COMP_WORDS[COMP_CWORD]} anterior=${COMP_WORDS[COMP_CWORD-1]}\n"
         "  COMPREPLY=()\n"
         "  if [[ $COMP_CWORD -eq 1 ]]; then\n"
         "    COMPREPLY=($(compgen -W \"" +
         nombres +
         " --help --version\" -- \"$actual\"))\n"
         "    return\n"
         "  fi\n"
         "  local con_valor=\"\" banderas=\"\"\n"
         "  case ${COMP_WORDS[1]} in\n" +
         casos +
         "    *) return ;;\n"
         "  esac\n"
         "  # The value of an option, and every other word, is left to file name completion.\n"
         "  [[ \" $con_valor \" == *\" $anterior \"* ]] && return\n"
         "  if [[ $actual == -* ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$con_valor $banderas\" -- \"$actual\"))\n"
         "  fi\n"
         "}\n"
         "complete -o default -F _telmora_cli telmora-cli\n";
}

}  // namespace telmora::cli
