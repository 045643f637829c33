// What the GDAL reader and writer share: the one-time registration of the drivers and the
// collection of GDAL's messages, so that failures reach the user as text and nothing is printed
// behind the program's back. Internal to this folder.
#pragma once

#include <cpl_error.h>
#include <gdal_priv.h>

#include <cstddef>
#include <string>
#include <vector>

namespace telmora::sig {

// Registers GDAL's drivers on the first call.
void inicia_gdal();

// While alive, GDAL's messages on this thread are collected here instead of being printed.
class RecogeMensajes {
 public:
  struct Mensaje {
    CPLErr clase;
    std::string texto;
  };

  RecogeMensajes();
  ~RecogeMensajes();
  RecogeMensajes(const RecogeMensajes&) = delete;
  RecogeMensajes& operator=(const RecogeMensajes&) = delete;

  std::size_t cuantos() const { return mensajes_.size(); }
  // The last failures reported since message number `desde`, or `por_defecto` when there is
  // none.
  std::string fallo(std::size_t desde = 0, const std::string& por_defecto = {}) const;
  bool hay_fallo(std::size_t desde = 0) const;
  // Forgets the messages from number `desde` on (those of an attempt allowed to fail).
  void olvida(std::size_t desde);
  // The warnings collected, each once, in order of first appearance.
  std::vector<std::string> avisos() const;

 private:
  static void CPL_STDCALL recoge(CPLErr clase, CPLErrorNum numero, const char* texto);

  std::vector<Mensaje> mensajes_;
  std::size_t avisos_ = 0;  // warnings reported, kept or not
};

}  // namespace telmora::sig
