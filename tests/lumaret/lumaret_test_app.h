// lumaret_test_app.h - the Qt application the display library's tests share
// (Qt's offscreen platform unless the environment chooses another).
#pragma once

class QApplication;

// The one application object, made on first use and kept until the process ends.
QApplication& TestApp();
