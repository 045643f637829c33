// Drawing texts on a SuperficieImagen needs a GUI application; the offscreen platform serves.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

class EntornoQt : public testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    aplicacion_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override { aplicacion_.reset(); }

 private:
  int argc_ = 1;
  char nombre_[16] = "pruebas";
  char* argv_[2] = {nombre_, nullptr};
  std::unique_ptr<QGuiApplication> aplicacion_;
};

[[maybe_unused]] testing::Environment* const entorno =
    testing::AddGlobalTestEnvironment(new EntornoQt);

}  // namespace
