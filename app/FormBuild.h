#pragma once
// What every builder of the main window's controls does first: create the component with the
// window as its owner, under the name the window knows it by, and place a control on its parent.
#include <string>

#include "platform/ui/Controls.h"

template <class T>
T* NewComponent(TComponent* owner, const std::string& name) {
    T* c = new T(owner);
    c->SetName(name);
    return c;
}

template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name) {
    T* c = NewComponent<T>(owner, name);
    if (parent) c->SetParent(parent);
    return c;
}

template <class T>
T* NewControl(TComponent* owner, TWinControl* parent, const std::string& name, int left, int top, int width,
              int height) {
    T* c = NewControl<T>(owner, parent, name);
    c->SetBounds(left, top, width, height);
    return c;
}
