#include "QVRViewController.h"

QVRViewController::~QVRViewController() = default;
