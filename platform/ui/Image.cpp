#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>

#include "platform/ui/ExtCtrls.h"

namespace {
std::map<std::string, TPicture::TLoader>& Loaders() {
    static std::map<std::string, TPicture::TLoader> m;
    return m;
}
}  // namespace

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {
    FBitmap->OnChange = [this](TObject*) {
        if (OnChange) OnChange(this);
    };
}

TPicture::~TPicture() { FBitmap->OnChange = nullptr; }

void TPicture::Assign(const TBitmap& bitmap) { FBitmap->Assign(bitmap); }

void TPicture::Clear() { FBitmap->SetSize(0, 0); }

void TPicture::RegisterFileFormat(const std::string& extension, TLoader loader) {
    std::string ext = extension;
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    Loaders()[ext] = std::move(loader);
}

void TPicture::LoadFromFile(const std::string& path) {
    size_t dot = path.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    auto it = Loaders().find(ext);
    if (it != Loaders().end()) {
        TBitmap tmp;
        it->second(path, tmp);
        FBitmap->Assign(tmp);
        return;
    }
    if (ext == "bmp") {
        FBitmap->LoadFromFile(path);
        return;
    }
    throw std::runtime_error("Unknown picture file extension (." + ext + ")");
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::PictureChanged() {
    if (FAutoSize && !FPicture->Empty()) SetBounds(GetLeft(), GetTop(), FPicture->GetWidth(), FPicture->GetHeight());
    Invalidate();
}

void TImage::SetStretch(bool s) {
    FStretch = s;
    Invalidate();
}
void TImage::SetCenter(bool c) {
    FCenter = c;
    Invalidate();
}
void TImage::SetProportional(bool p) {
    FProportional = p;
    Invalidate();
}
void TImage::SetTransparent(bool t) {
    FTransparent = t;
    Invalidate();
}
void TImage::SetAutoSize(bool a) {
    FAutoSize = a;
    PictureChanged();
}

TRect TImage::DestRect() const {
    int w = FPicture->GetWidth(), h = FPicture->GetHeight();
    int cw = GetClientWidth(), ch = GetClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double xy = double(w) / h;
            if (cw / xy <= ch) {
                w = cw;
                h = int(cw / xy);
            } else {
                h = ch;
                w = int(ch * xy);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r(0, 0, w, h);
    if (FCenter) {
        int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r = TRect(dx, dy, dx + w, dy + h);
    }
    return r;
}

void TImage::Paint() {
    if (FPicture->Empty()) return;
    TBitmap* b = FPicture->GetBitmap();
    bool keep = b->GetTransparent();
    b->SetTransparent(FTransparent || keep);
    GetCanvas()->StretchDraw(DestRect(), *b);
    b->SetTransparent(keep);
}

TAccessibleInfo TImage::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = OnClick ? TAccessibleRole::PushButton : TAccessibleRole::Graphic;
    info.Name = AccessibleFallbackName();
    info.Enabled = GetEnabled();
    info.Action = OnClick ? TAccessibleAction::Press : TAccessibleAction::None;
    return info;
}
