// Bash completion of telmora-cli, written from the command table itself so that it names exactly
// the commands and options the program takes.
#pragma once

#include <string>
#include <vector>

#include "cli.h"

namespace telmora::cli {

// A bash script that completes the first word with the commands (and --help, --version), an
// option word with the options of the command given, and anything else, option values
// included, as file names.
std::string guion_completado_bash(const std::vector<Comando>& comandos);

}  // namespace telmora::cli
