#pragma once
// The leaf parts of the keyboard; their behaviour is LPartModule's, their
// data a row of the part table.
#include "PartInterfaces.h"
#include "PartModule.h"

// Rows of the part table, one per class.
extern const PartDescription kGlobalChannelPart;
extern const PartDescription kKeybedPart;
extern const PartDescription kZonePart;
extern const PartDescription kAbsoluteControllerPart;
extern const PartDescription kPitchWheelPart;
extern const PartDescription kHardwareButtonsPart;
extern const PartDescription kHardwareButtonPart;
extern const PartDescription kFootSwitchPart;

#define TARSEL_PART_CLASS(Class, Interface, Row)                        \
    class Class final : public LPartModule<Interface> {                 \
        QV_TYPE_NAME("class " #Class)                                   \
    public:                                                             \
        Class() : LPartModule<Interface>(Row) {}                        \
        static QV::RCPtr<Class> Create()                                \
        {                                                               \
            QV::RCPtr<Class> module(new Class());                       \
            module->CreateChildModules();                               \
            return module;                                              \
        }                                                               \
    };

TARSEL_PART_CLASS(LGlobalChannel, IGlobalChannel, kGlobalChannelPart)
TARSEL_PART_CLASS(LKeybed, IKeybed, kKeybedPart)
TARSEL_PART_CLASS(LZone, IZone, kZonePart)
TARSEL_PART_CLASS(LAbsoluteController, IAbsoluteController, kAbsoluteControllerPart)
TARSEL_PART_CLASS(LPitchWheel, IPitchWheel, kPitchWheelPart)
TARSEL_PART_CLASS(LHardwareButton, IHardwareButton, kHardwareButtonPart)
TARSEL_PART_CLASS(LFootSwitch, IFootSwitch, kFootSwitchPart)

#undef TARSEL_PART_CLASS
