// The side of description reading and writing that persistent objects see: their defined
// (non-published) binary properties, registered in DefineProperties.
#pragma once

#include <functional>
#include <string>

class TComponent;
class TStream;

class TFiler {
public:
    using TStreamProc = std::function<void(TStream& Stream)>;

    explicit TFiler(TComponent* Root) : FRoot(Root) {}
    virtual ~TFiler() = default;
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

    TComponent* Root() const { return FRoot; }

    // A named block of bytes. When reading, ReadData gets a stream over exactly the block; when
    // writing, WriteData fills the block, and only when HasData is true.
    virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                      bool HasData) = 0;

protected:
    TComponent* FRoot;
};
