#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Orvane");
  window.resize(813, 758);
  window.show();
  app.exec();
  return 0;
}
