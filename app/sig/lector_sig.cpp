#include "lector_sig.h"

#include <ogrsf_frmts.h>

#include <algorithm>

#include "gdal_comun.h"

namespace telmora {

namespace {

using sig::RecogeMensajes;

TipoCampo tipo_de(OGRFieldType tipo) {
  switch (tipo) {
    case OFTInteger:
    case OFTInteger64:
      return TipoCampo::entero;
    case OFTReal:
      return TipoCampo::real;
    default:
      return TipoCampo::texto;
  }
}

bool termina_en(std::string texto, std::string_view final) {
  std::transform(texto.begin(), texto.end(), texto.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return texto.ends_with(final);
}

// A shapefile keeps its attributes in the .dbf beside it; GDAL opens one without it, and the
// codes and texts would be lost without a word.
void comprueba_dbf(GDALDataset& conjunto) {
  char** ficheros = conjunto.GetFileList();
  std::vector<std::string> lista;
  for (char** f = ficheros; f != nullptr && *f != nullptr; ++f) lista.emplace_back(*f);
  CSLDestroy(ficheros);
  for (const std::string& fichero : lista) {
    if (!termina_en(fichero, ".shp")) continue;
    const auto shp = ruta_desde_texto(fichero);
    auto dbf = shp, dbf_mayusculas = shp;
    dbf.replace_extension(".dbf");
    dbf_mayusculas.replace_extension(".DBF");
    if (!existe_archivo(dbf) && !existe_archivo(dbf_mayusculas)) {
      throw ErrorEntradaSig("Falta el fichero " + ruta_texto(dbf) + " del shapefile " +
                            ruta_texto(shp) + ": sin él no hay códigos ni textos que importar");
    }
  }
}

[[noreturn]] void no_admitida(const std::string& capa, const char* tipo) {
  throw ErrorEntradaSig("La capa " + capa + " tiene geometrías de tipo " + tipo +
                        ", que no se importan: solo puntos, líneas y superficies");
}

class Descomposicion {
 public:
  Descomposicion(RasgoSig& rasgo, const std::string& capa) : rasgo_(rasgo), capa_(capa) {}

  void parte(const OGRGeometry& geometria) {
    if (geometria.IsEmpty()) return;
    switch (wkbFlatten(geometria.getGeometryType())) {
      case wkbPoint: {
        const OGRPoint& p = *geometria.toPoint();
        rasgo_.puntos.push_back({p.getX(), p.getY(), p.getZ()});
        rasgo_.cierra_parte(ClaseParte::punto);
        return;
      }
      case wkbLineString:
      case wkbLinearRing:
        curva(*geometria.toSimpleCurve(), ClaseParte::linea);
        return;
      case wkbPolygon:
      case wkbTriangle: {
        const OGRPolygon& poligono = *geometria.toPolygon();
        for (const OGRLinearRing* anillo : poligono) curva(*anillo, ClaseParte::anillo);
        return;
      }
      case wkbCircularString:
      case wkbCompoundCurve:
      case wkbCurvePolygon: {
        const std::unique_ptr<OGRGeometry> lineal(geometria.getLinearGeometry());
        if (lineal) parte(*lineal);
        return;
      }
      case wkbMultiPoint:
      case wkbMultiLineString:
      case wkbMultiPolygon:
      case wkbMultiCurve:
      case wkbMultiSurface:
      case wkbGeometryCollection:
        for (const OGRGeometry* miembro : *geometria.toGeometryCollection()) parte(*miembro);
        return;
      default:
        no_admitida(capa_, geometria.getGeometryName());
    }
  }

 private:
  void curva(const OGRSimpleCurve& curva, ClaseParte clase) {
    const int n = curva.getNumPoints();
    for (int i = 0; i < n; ++i) {
      rasgo_.puntos.push_back({curva.getX(i), curva.getY(i), curva.getZ(i)});
    }
    rasgo_.cierra_parte(clase);
  }

  RasgoSig& rasgo_;
  const std::string& capa_;
};

void lee_valor(const OGRFeature& rasgo_ogr, int indice, ValorSig& valor) {
  if (indice < 0 || !rasgo_ogr.IsFieldSetAndNotNull(indice)) {
    valor = std::monostate{};
    return;
  }
  switch (tipo_de(rasgo_ogr.GetFieldDefnRef(indice)->GetType())) {
    case TipoCampo::entero:
      valor = static_cast<std::int64_t>(rasgo_ogr.GetFieldAsInteger64(indice));
      break;
    case TipoCampo::real:
      valor = rasgo_ogr.GetFieldAsDouble(indice);
      break;
    case TipoCampo::texto:
      valor = std::string(rasgo_ogr.GetFieldAsString(indice));
      break;
  }
}

struct BorraRasgo {
  void operator()(OGRFeature* rasgo) const { OGRFeature::DestroyFeature(rasgo); }
};

}  // namespace

struct LectorSig::Datos {
  std::filesystem::path origen;
  GDALDatasetUniquePtr conjunto;
  std::vector<CapaLeida> capas;
  std::vector<std::string> avisos;

  void guarda_avisos(const RecogeMensajes& mensajes) {
    for (auto& aviso : mensajes.avisos()) {
      if (std::find(avisos.begin(), avisos.end(), aviso) == avisos.end()) {
        avisos.push_back(std::move(aviso));
      }
    }
  }
};

LectorSig::LectorSig(const std::filesystem::path& origen) : d_(std::make_unique<Datos>()) {
  std::error_code error;
  if (!std::filesystem::exists(origen, error)) throw ErrorFicheroInexistente(origen);
  sig::inicia_gdal();
  RecogeMensajes mensajes;
  d_->origen = origen;
  d_->conjunto.reset(GDALDataset::Open(ruta_texto(origen).c_str(),
                                       GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
  if (!d_->conjunto) {
    // The program's words first; GDAL's own text, when it gives one, only as the reason.
    const std::string motivo = mensajes.fallo();
    throw ErrorEntradaSig("No se puede leer " + ruta_texto(origen) +
                          " como formato SIG: GDAL no reconoce su formato" +
                          (motivo.empty() ? "" : " (motivo: " + motivo + ")"));
  }
  if (EQUAL(d_->conjunto->GetDriver()->GetDescription(), "ESRI Shapefile")) {
    comprueba_dbf(*d_->conjunto);
  }
  for (OGRLayer* capa : d_->conjunto->GetLayers()) {
    CapaLeida leida;
    leida.nombre = capa->GetName();
    leida.con_geometria = capa->GetLayerDefn()->GetGeomFieldCount() > 0;
    const OGRFeatureDefn& definicion = *capa->GetLayerDefn();
    for (int i = 0; i < definicion.GetFieldCount(); ++i) {
      const OGRFieldDefn& campo = *definicion.GetFieldDefn(i);
      leida.campos.push_back({campo.GetNameRef(), tipo_de(campo.GetType())});
    }
    d_->capas.push_back(std::move(leida));
  }
  if (mensajes.hay_fallo()) {
    throw ErrorEntradaSig("No se puede leer " + ruta_texto(origen) + ": " + mensajes.fallo());
  }
  d_->guarda_avisos(mensajes);
}

LectorSig::~LectorSig() {
  RecogeMensajes mensajes;
  d_->conjunto.reset();
}

const std::filesystem::path& LectorSig::origen() const {
  return d_->origen;
}

const std::vector<CapaLeida>& LectorSig::capas() const {
  return d_->capas;
}

const std::vector<std::string>& LectorSig::avisos() const {
  return d_->avisos;
}

void LectorSig::lee(std::size_t indice, const std::vector<int>& campos,
                    const std::function<void(const RasgoSig&)>& recibe, Progreso& progreso) {
  RecogeMensajes mensajes;
  OGRLayer& capa = *d_->conjunto->GetLayer(static_cast<int>(indice));
  const std::string nombre = "\"" + d_->capas[indice].nombre + "\" de " + ruta_texto(d_->origen);
  const OGRwkbGeometryType declarada = wkbFlatten(capa.GetGeomType());
  if (declarada == wkbPolyhedralSurface || declarada == wkbTIN) {
    no_admitida(nombre, OGRGeometryTypeToName(declarada));
  }
  ContadorPorcentaje contador(progreso, capa.GetFeatureCount(TRUE));
  capa.ResetReading();
  RasgoSig rasgo;
  rasgo.valores.resize(campos.size());
  Descomposicion descomposicion(rasgo, nombre);
  std::int64_t leidos = 0;
  while (true) {
    const std::unique_ptr<OGRFeature, BorraRasgo> rasgo_ogr(capa.GetNextFeature());
    if (!rasgo_ogr) break;
    rasgo.vacia_geometria();
    if (const OGRGeometry* geometria = rasgo_ogr->GetGeometryRef())
      descomposicion.parte(*geometria);
    for (std::size_t k = 0; k < campos.size(); ++k)
      lee_valor(*rasgo_ogr, campos[k], rasgo.valores[k]);
    recibe(rasgo);
    contador.avanza(++leidos);
  }
  if (mensajes.hay_fallo()) {
    throw ErrorEntradaSig("No se puede leer la capa " + nombre + ": " + mensajes.fallo());
  }
  d_->guarda_avisos(mensajes);
}

}  // namespace telmora
