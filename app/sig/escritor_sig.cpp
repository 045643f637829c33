#include "escritor_sig.h"

#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>

#include "gdal_comun.h"
#include "indice_gpkg.h"

namespace telmora {

namespace {

using sig::RecogeMensajes;

constexpr const char* kCampoEstilo = "OGR_STYLE";
// Warnings kept for the user: a format that warns about every feature says the same thing
// many times.
constexpr std::size_t kMaxAvisos = 20;

std::string minusculas(std::string texto) {
  std::transform(texto.begin(), texto.end(), texto.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return texto;
}

bool si(const char* valor) {
  return valor != nullptr && EQUAL(valor, "YES");
}

bool crea_vectores(GDALDriver& driver) {
  return si(driver.GetMetadataItem(GDAL_DCAP_VECTOR)) &&
         si(driver.GetMetadataItem(GDAL_DCAP_CREATE));
}

bool tiene_extension(GDALDriver& driver, const std::string& extension) {
  const char* lista = driver.GetMetadataItem(GDAL_DMD_EXTENSIONS);
  if (lista == nullptr) lista = driver.GetMetadataItem(GDAL_DMD_EXTENSION);
  if (lista == nullptr) return false;
  std::istringstream palabras{std::string(lista)};
  std::string palabra;
  while (palabras >> palabra) {
    if (minusculas(palabra) == extension) return true;
  }
  return false;
}

OGRwkbGeometryType tipo_ogr(TipoGeometria geometria) {
  switch (geometria) {
    case TipoGeometria::punto:
      return wkbPoint25D;
    case TipoGeometria::linea:
      return wkbLineString25D;
    case TipoGeometria::poligono:
      return wkbPolygon25D;
  }
  return wkbUnknown;
}

OGRFieldType tipo_ogr(TipoCampo tipo) {
  switch (tipo) {
    case TipoCampo::entero:
      return OFTInteger;
    case TipoCampo::real:
      return OFTReal;
    case TipoCampo::texto:
      return OFTString;
  }
  return OFTString;
}

void pon_puntos(OGRSimpleCurve& curva, const RasgoSig& rasgo, std::uint32_t desde,
                std::uint32_t hasta) {
  curva.setNumPoints(static_cast<int>(hasta - desde), FALSE);
  for (std::uint32_t i = desde; i < hasta; ++i) {
    const PuntoSig& p = rasgo.puntos[i];
    curva.setPoint(static_cast<int>(i - desde), p.x, p.y, p.z);
  }
}

// The geometry of the feature, rebuilt in place when the feature already holds one of the
// layer's type (the feature is prepared once per layer and reused).
void pon_geometria(OGRFeature& rasgo_ogr, TipoGeometria tipo, const RasgoSig& rasgo) {
  OGRGeometry* geometria = rasgo_ogr.GetGeometryRef();
  const OGRwkbGeometryType plano = wkbFlatten(tipo_ogr(tipo));
  if (geometria == nullptr || wkbFlatten(geometria->getGeometryType()) != plano) {
    rasgo_ogr.SetGeometryDirectly(OGRGeometryFactory::createGeometry(plano));
    geometria = rasgo_ogr.GetGeometryRef();
  }
  switch (tipo) {
    case TipoGeometria::punto: {
      const PuntoSig p = rasgo.puntos.empty() ? PuntoSig{} : rasgo.puntos.front();
      OGRPoint* punto = geometria->toPoint();
      punto->setX(p.x);
      punto->setY(p.y);
      punto->setZ(p.z);
      break;
    }
    case TipoGeometria::linea:
      pon_puntos(*geometria->toLineString(), rasgo, 0,
                 static_cast<std::uint32_t>(rasgo.puntos.size()));
      break;
    case TipoGeometria::poligono: {
      OGRPolygon* poligono = geometria->toPolygon();
      poligono->empty();
      for (std::size_t k = 0; k < rasgo.partes.size(); ++k) {
        auto* anillo = new OGRLinearRing();
        pon_puntos(*anillo, rasgo, rasgo.inicio(k), rasgo.partes[k].fin);
        poligono->addRingDirectly(anillo);
      }
      break;
    }
  }
}

void pon_valor(OGRFeature& rasgo_ogr, int indice, const ValorSig& valor) {
  if (const auto* entero = std::get_if<std::int64_t>(&valor)) {
    rasgo_ogr.SetField(indice, static_cast<GIntBig>(*entero));
  } else if (const auto* real = std::get_if<double>(&valor)) {
    rasgo_ogr.SetField(indice, *real);
  } else if (const auto* texto = std::get_if<std::string>(&valor)) {
    rasgo_ogr.SetField(indice, texto->c_str());
  } else {
    rasgo_ogr.SetFieldNull(indice);
  }
}

// Sets a configuration option of GDAL for this thread while alive.
class OpcionTemporal {
 public:
  OpcionTemporal(const char* clave, const char* valor) : clave_(clave) {
    const char* previo = CPLGetThreadLocalConfigOption(clave, nullptr);
    if (previo != nullptr) previo_ = previo;
    tenia_ = previo != nullptr;
    CPLSetThreadLocalConfigOption(clave, valor);
  }
  ~OpcionTemporal() { CPLSetThreadLocalConfigOption(clave_, tenia_ ? previo_.c_str() : nullptr); }

 private:
  const char* clave_;
  std::string previo_;
  bool tenia_ = false;
};

struct BorraRasgo {
  void operator()(OGRFeature* rasgo) const { OGRFeature::DestroyFeature(rasgo); }
};

}  // namespace

std::string formato_de_salida(const std::filesystem::path& destino, const std::string& formato) {
  sig::inicia_gdal();
  GDALDriverManager& drivers = *GetGDALDriverManager();
  if (!formato.empty()) {
    GDALDriver* driver = drivers.GetDriverByName(formato.c_str());
    if (driver == nullptr || !crea_vectores(*driver)) {
      throw ErrorEntradaSig("El formato \"" + formato +
                            "\" no existe o no se puede escribir (se espera un nombre de "
                            "formato vectorial de GDAL, como GPKG, GeoJSON o \"ESRI Shapefile\")");
    }
    return driver->GetDescription();
  }
  const std::string extension = minusculas(ruta_texto(destino.extension()));
  if (extension.size() > 1) {
    for (int i = 0; i < drivers.GetDriverCount(); ++i) {
      GDALDriver& driver = *drivers.GetDriver(i);
      if (crea_vectores(driver) && tiene_extension(driver, extension.substr(1))) {
        return driver.GetDescription();
      }
    }
  }
  throw ErrorEntradaSig("No se sabe en qué formato escribir " + ruta_texto(destino) +
                        ": indique el formato o use una extensión conocida (.gpkg, .shp, "
                        ".geojson, .dxf, .fgb ...)");
}

struct EscritorSig::Datos {
  struct Capa {
    DefinicionCapa definicion;
    GDALDataset* conjunto = nullptr;
    OGRLayer* capa = nullptr;
    std::vector<int> indices;  // field of the layer for each field of the definition, or -1
    int indice_estilo = -1;
    std::unique_ptr<OGRFeature, BorraRasgo> rasgo;
    std::vector<CajaRasgo> cajas;  // of the features written, for a spatial index built at the end
  };

  std::filesystem::path destino;
  std::string formato;
  GDALDriver* driver = nullptr;
  bool estilos_nativos = false;
  // A GeoPackage's spatial indexes are built by this writer in bulk once the features are
  // written (escribe_indices_gpkg), not by GDAL one feature at a time.
  bool indice_en_bloque = false;
  OGRSpatialReference srs;
  bool con_srs = false;
  std::vector<std::string> avisos;
  std::size_t avisos_omitidos = 0;
  // Declared in this order so that features go before their datasets, and datasets are closed
  // before the temporary folder is removed.
  CarpetaNueva carpeta;
  std::vector<GDALDatasetUniquePtr> conjuntos;
  std::vector<Capa> capas;
  Capa* actual = nullptr;
  bool en_transaccion = false;

  explicit Datos(const std::filesystem::path& ruta) : destino(ruta), carpeta(ruta.parent_path()) {}

  [[noreturn]] void falla(const RecogeMensajes& mensajes, std::size_t desde,
                          const std::string& que) {
    throw ErrorTelmora("No se puede escribir " + ruta_texto(destino) + ": " +
                       mensajes.fallo(desde, que));
  }

  void anade_aviso(std::string aviso) {
    if (std::find(avisos.begin(), avisos.end(), aviso) != avisos.end()) return;
    if (avisos.size() < kMaxAvisos) {
      avisos.push_back(std::move(aviso));
    } else {
      ++avisos_omitidos;
    }
  }

  // Keeps GDAL's warnings of one call.
  void guarda_avisos(const RecogeMensajes& mensajes) {
    for (auto& aviso : mensajes.avisos()) anade_aviso(std::move(aviso));
  }

  GDALDataset* crea_conjunto(const std::filesystem::path& nombre, RecogeMensajes& mensajes) {
    // The file is a temporary one until it is complete and closed: a crash cannot leave a
    // half-synchronised destination, so SQLite-based formats need not wait for the disk.
    OpcionTemporal sin_sincronizar("OGR_SQLITE_SYNCHRONOUS", "OFF");
    const std::size_t desde = mensajes.cuantos();
    GDALDataset* conjunto =
        driver->Create(ruta_texto(carpeta.ruta() / nombre).c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (conjunto == nullptr) falla(mensajes, desde, "el formato " + formato + " no lo crea");
    conjuntos.emplace_back(conjunto);
    return conjunto;
  }

  // Creates a layer with its fields. False when the dataset cannot hold it under its own name
  // (another layer of a one-layer format), leaving the messages of the attempt forgotten.
  bool crea_capa(GDALDataset& conjunto, const DefinicionCapa& definicion, bool con_su_nombre,
                 RecogeMensajes& mensajes) {
    const std::size_t desde = mensajes.cuantos();
    // CSV keeps a geometry only when asked to, as a WKT column.
    char como_wkt[] = "GEOMETRY=AS_WKT";
    char* opciones_csv[] = {como_wkt, nullptr};
    char sin_indice[] = "SPATIAL_INDEX=NO";
    char* opciones_gpkg[] = {sin_indice, nullptr};
    char** opciones = EQUAL(formato.c_str(), "CSV") ? opciones_csv
                      : indice_en_bloque            ? opciones_gpkg
                                                    : nullptr;
    OGRLayer* capa = conjunto.CreateLayer(definicion.nombre.c_str(), con_srs ? &srs : nullptr,
                                          tipo_ogr(definicion.geometria), opciones);
    if (capa == nullptr ||
        (con_su_nombre && conjunto.GetLayerByName(definicion.nombre.c_str()) != capa)) {
      mensajes.olvida(desde);
      return false;
    }
    if (capa->GetLayerDefn()->GetGeomFieldCount() == 0) {
      throw ErrorEntradaSig("El formato " + formato + " no guarda geometrías");
    }
    Capa nueva;
    nueva.definicion = definicion;
    nueva.conjunto = &conjunto;
    nueva.capa = capa;
    for (const CampoSig& campo : definicion.campos) {
      nueva.indices.push_back(crea_campo(*capa, campo.nombre, tipo_ogr(campo.tipo), mensajes));
    }
    if (!estilos_nativos) {
      nueva.indice_estilo = crea_campo(*capa, kCampoEstilo, OFTString, mensajes);
    }
    nueva.rasgo.reset(OGRFeature::CreateFeature(capa->GetLayerDefn()));
    capas.push_back(std::move(nueva));
    return true;
  }

  // The index of a new field, or -1 (and a warning) when the format does not take it. The
  // name the format gives it may be shorter (a dBase field has ten characters at most).
  int crea_campo(OGRLayer& capa, const std::string& nombre, OGRFieldType tipo,
                 RecogeMensajes& mensajes) {
    const std::size_t desde = mensajes.cuantos();
    OGRFieldDefn campo(nombre.c_str(), tipo);
    if (capa.CreateField(&campo, TRUE) != OGRERR_NONE) {
      mensajes.olvida(desde);
      anade_aviso("El formato " + formato + " no guarda el campo " + nombre + " de la capa " +
                  capa.GetName());
      return -1;
    }
    return capa.GetLayerDefn()->GetFieldCount() - 1;
  }

  void crea_capas(const std::vector<DefinicionCapa>& definiciones, RecogeMensajes& mensajes) {
    // A driver may say it holds several layers and still refuse a second one when writing
    // (DXF), or take more layers as files of their own names beside the one asked for (CSV):
    // the layers go together only when both the driver and the dataset hold them by name.
    GDALDataset* unico = crea_conjunto(destino.filename(), mensajes);
    const bool juntas = si(driver->GetMetadataItem(GDAL_DCAP_MULTIPLE_VECTOR_LAYERS)) &&
                        std::all_of(definiciones.begin(), definiciones.end(), [&](const auto& d) {
                          return crea_capa(*unico, d, true, mensajes);
                        });
    if (juntas) return;
    // One layer per file.
    capas.clear();
    conjuntos.clear();
    carpeta.vacia();
    avisos.clear();
    avisos_omitidos = 0;
    for (const DefinicionCapa& definicion : definiciones) {
      auto nombre = destino.stem();
      nombre += ruta_desde_texto("_" + definicion.nombre);
      nombre += destino.extension();
      const std::size_t desde = mensajes.cuantos();
      if (!crea_capa(*crea_conjunto(nombre, mensajes), definicion, false, mensajes)) {
        falla(mensajes, desde, "no se puede crear la capa " + definicion.nombre);
      }
    }
  }
};

EscritorSig::EscritorSig(const std::filesystem::path& destino, const std::string& formato, int epsg,
                         const std::vector<DefinicionCapa>& capas) {
  const std::string driver = formato_de_salida(destino, formato);
  std::error_code error;
  if (std::filesystem::is_directory(destino, error)) {
    throw ErrorEntradaSig("Ya existe una carpeta " + ruta_texto(destino) +
                          ": elija otro nombre de salida");
  }
  RecogeMensajes mensajes;
  auto datos = std::make_unique<Datos>(destino);
  datos->formato = driver;
  datos->driver = GetGDALDriverManager()->GetDriverByName(driver.c_str());
  datos->estilos_nativos = si(datos->driver->GetMetadataItem(GDAL_DCAP_FEATURE_STYLES));
  datos->indice_en_bloque = driver == "GPKG";
  if (epsg != 0) {
    if (datos->srs.importFromEPSG(epsg) != OGRERR_NONE) {
      throw ErrorEntradaSig("No existe el sistema de coordenadas EPSG:" + std::to_string(epsg));
    }
    datos->srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    datos->con_srs = true;
  }
  datos->crea_capas(capas, mensajes);
  datos->guarda_avisos(mensajes);
  d_ = std::move(datos);
}

EscritorSig::~EscritorSig() {
  if (!d_) return;
  // An abandoned write: its files are closed and removed without a word.
  RecogeMensajes mensajes;
  if (d_->en_transaccion) d_->actual->conjunto->RollbackTransaction();
  d_->capas.clear();
  d_->conjuntos.clear();
}

const std::string& EscritorSig::formato() const {
  return d_->formato;
}

void EscritorSig::empieza_capa(std::size_t capa) {
  RecogeMensajes mensajes;
  d_->actual = &d_->capas.at(capa);
  d_->en_transaccion = d_->actual->conjunto->StartTransaction(FALSE) == OGRERR_NONE;
  // Formats without transactions say so; that is no failure.
  mensajes.olvida(0);
}

void EscritorSig::escribe(const RasgoSig& rasgo) {
  RecogeMensajes mensajes;
  Datos::Capa& capa = *d_->actual;
  OGRFeature& rasgo_ogr = *capa.rasgo;
  rasgo_ogr.SetFID(OGRNullFID);
  for (std::size_t k = 0; k < capa.indices.size(); ++k) {
    if (capa.indices[k] >= 0) pon_valor(rasgo_ogr, capa.indices[k], rasgo.valores[k]);
  }
  if (capa.indice_estilo >= 0) {
    rasgo_ogr.SetField(capa.indice_estilo, rasgo.estilo.c_str());
  } else if (d_->estilos_nativos) {
    rasgo_ogr.SetStyleString(rasgo.estilo.c_str());
  }
  pon_geometria(rasgo_ogr, capa.definicion.geometria, rasgo);
  if (capa.capa->CreateFeature(&rasgo_ogr) != OGRERR_NONE) {
    d_->falla(mensajes, 0, "la capa " + capa.definicion.nombre + " no admite el rasgo");
  }
  if (d_->indice_en_bloque && !rasgo.puntos.empty()) {
    CajaRasgo caja{rasgo_ogr.GetFID(), rasgo.puntos[0].x, rasgo.puntos[0].x, rasgo.puntos[0].y,
                   rasgo.puntos[0].y};
    for (const PuntoSig& p : rasgo.puntos) {
      caja.xmin = std::min(caja.xmin, p.x), caja.xmax = std::max(caja.xmax, p.x);
      caja.ymin = std::min(caja.ymin, p.y), caja.ymax = std::max(caja.ymax, p.y);
    }
    capa.cajas.push_back(caja);
  }
  if (mensajes.cuantos() > 0) d_->guarda_avisos(mensajes);
}

void EscritorSig::termina_capa() {
  RecogeMensajes mensajes;
  if (d_->en_transaccion) {
    d_->en_transaccion = false;
    if (d_->actual->conjunto->CommitTransaction() != OGRERR_NONE) {
      d_->falla(mensajes, 0, "no se completa la capa " + d_->actual->definicion.nombre);
    }
  }
  d_->actual = nullptr;
  d_->guarda_avisos(mensajes);
}

std::vector<std::filesystem::path> EscritorSig::confirma() {
  RecogeMensajes mensajes;
  // The spatial indexes to build, by the file that holds their layers.
  std::map<std::string, std::vector<IndiceCapa>> indices;
  if (d_->indice_en_bloque) {
    for (Datos::Capa& capa : d_->capas) {
      indices[capa.conjunto->GetDescription()].push_back(
          {capa.capa->GetName(), capa.capa->GetGeometryColumn(), capa.capa->GetFIDColumn(),
           std::move(capa.cajas)});
    }
  }
  d_->capas.clear();
  d_->conjuntos.clear();
  if (mensajes.hay_fallo()) d_->falla(mensajes, 0, "");
  d_->guarda_avisos(mensajes);
  for (auto& [fichero, capas] : indices) {
    escribe_indices_gpkg(ruta_desde_texto(fichero), std::move(capas));
  }
  return d_->carpeta.confirma();
}

GDALDataset* EscritorSig::conjunto_unico() const {
  return d_->conjuntos.size() == 1 ? d_->conjuntos.front().get() : nullptr;
}

std::vector<std::string> EscritorSig::avisos() const {
  // The fields a format renamed (shapefiles keep ten characters) are told in one line, in the
  // program's words: GDAL's text for each is "Normalized/laundered field name: 'a' to 'b'".
  static const std::regex kRenombrado(R"(laundered field name:? *'([^']*)' to '([^']*)')",
                                      std::regex::icase);
  std::vector<std::string> salida, renombrados;
  for (const std::string& aviso : d_->avisos) {
    std::smatch partes;
    if (std::regex_search(aviso, partes, kRenombrado)) {
      renombrados.push_back(partes[1].str() + " pasa a " + partes[2].str());
    } else {
      salida.push_back(aviso);
    }
  }
  if (!renombrados.empty()) {
    std::string linea = "Nombres de campo cambiados para el formato: ";
    for (std::size_t i = 0; i < renombrados.size(); ++i) {
      linea += (i > 0 ? ", " : "") + renombrados[i];
    }
    salida.insert(salida.begin(), linea);
  }
  if (d_->avisos_omitidos > 0) {
    salida.push_back("(y " + std::to_string(d_->avisos_omitidos) + " avisos más)");
  }
  return salida;
}

}  // namespace telmora
