// lumaret_test_app.h - the Qt application the display library's tests share
// (always on Qt's offscreen platform).
#pragma once

class QApplication;

// The one application object, made on first use and kept until the process ends.
QApplication& TestApp();
