#include "platform/rtl/Classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FDestroying = true;
    // Tell those who asked; they may remove themselves from our list while we iterate.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = other->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, TOperation::opRemove);
    }
    // Owned components go last-created first.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        delete c;  // its destructor removes it from our list
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (c->FName == name) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), other) == FFreeNotifies.end())
        FFreeNotifies.push_back(other);
    if (std::find(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this) ==
        other->FFreeNotifies.end())
        other->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), other),
                        FFreeNotifies.end());
    other->FFreeNotifies.erase(
        std::remove(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this),
        other->FFreeNotifies.end());
}

void TComponent::BeginLoading() {
    ++FLoading;
    for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::EndLoading() {
    for (TComponent* c : FComponents) c->EndLoading();
    if (FLoading > 0 && --FLoading == 0) Loaded();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == TOperation::opRemove) {
        FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                            FFreeNotifies.end());
    }
    for (TComponent* c : FComponents) c->Notification(AComponent, Operation);
}

void TComponent::InsertComponent(TComponent* c) {
    c->FOwner = this;
    FComponents.push_back(c);
    Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), c), FComponents.end());
    c->FOwner = nullptr;
    if (!FDestroying) Notification(c, TOperation::opRemove);
}
