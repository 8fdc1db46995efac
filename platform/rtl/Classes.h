#pragma once
// Base object and component model: owners free what they own, components are told when
// a component they refer to goes away, and a loading phase keeps handlers quiet.
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* GetOwner() const { return FOwner; }
    const std::string& GetName() const { return FName; }
    virtual void SetName(const std::string& name) { FName = name; }

    int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* GetComponent(int index) const { return FComponents.at(index); }
    TComponent* FindComponent(const std::string& name) const;

    // The component is told (Notification with opRemove) when `other` is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // While loading, components apply properties without firing their events.
    bool IsLoading() const { return FLoading > 0; }
    bool IsDestroying() const { return FDestroying; }
    void BeginLoading();
    void EndLoading();

    int Tag = 0;

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded() {}

private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    int FLoading = 0;
    bool FDestroying = false;
};
