// Byte layout of a terrain-model (.MDT) file, shared by the reader and the writer.
//
// A model file holds, little-endian: a 52-byte header (signature, model minimum and maximum,
// the widest triangle X extent W and two spare integers, a 7-byte text), the vertex count
// and vertices, a count and block of 12-byte records that readers skip, the triangle count
// and triangles, and the boundary block (10 spare bytes, point count, box, points).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orogrid {

inline constexpr std::array<unsigned char, 9> kFirmaMdt = {'M', 'D', 'T', 'O', 'P',
                                                           '0', '0', '3', '\0'};

inline constexpr std::size_t kPosicionAnchoMaximo = 33;  // W, the widest triangle X extent
inline constexpr std::size_t kBytesCabecera = 52;        // everything before the vertex count
inline constexpr std::size_t kBytesVertice = 12;         // X, Y, Z
inline constexpr std::size_t kBytesRegistroOmitido = 12;
inline constexpr std::size_t kBytesTriangulo = 24;      // three vertex numbers, three spare
inline constexpr std::size_t kBytesHuecoContorno = 10;  // spare bytes before the point count
inline constexpr std::size_t kBytesCajaContorno = 36;   // minimum, maximum, spare triple

struct Vertice {
  std::int32_t x;
  std::int32_t y;
  std::int32_t z;

  friend bool operator==(const Vertice&, const Vertice&) = default;
};

}  // namespace orogrid
