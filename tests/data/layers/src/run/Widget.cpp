// A core file that reaches for a widget: the layer check refuses it.
#include <QtWidgets/QWidget>
