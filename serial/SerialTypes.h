#pragma once
// Enumerations, sets and event types of the serial port component set.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Sets.h"

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
    br56000, br57600, br115200, br128000, br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };

enum TSerialEvent {
    evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};
using TSerialEvents = TSet<TSerialEvent>;
inline constexpr TSerialEvents AllSerialEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak,
                                               evCTS,    evDSR,     evError,  evRLSD, evRx80Full};

enum TSerialSignal { csCTS, csDSR, csRing, csRLSD };
using TSerialSignals = TSet<TSerialSignal>;

enum TSerialError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
using TSerialErrors = TSet<TSerialError>;

enum TSyncMethod { smThreadSync, smWindowSync, smNone };

enum TStoredProp { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };
using TStoredProps = TSet<TStoredProp>;

// Where StoreSettings and LoadSettings keep a port's settings.
enum TStoreType { stRegistry, stIniFile };

enum TSerialLinkEvent { leConn, leCTS, leDSR, leRLSD, leRing, leRx, leTx, leTxEmpty, leRxFlag };

enum TOperationKind { okWrite, okRead };

enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };

// The error kinds; the code that ESerialPort carries is the kind's ordinal plus one.
enum TSerialExceptions {
    CE_OpenFailed, CE_WriteFailed, CE_ReadFailed, CE_InvalidAsync, CE_PurgeFailed,
    CE_AsyncCheck, CE_SetStateFailed, CE_TimeoutsFailed, CE_SetupComFailed, CE_ClearComFailed,
    CE_ModemStatFailed, CE_EscapeComFailed, CE_TransmitFailed, CE_ConnChangeProp,
    CE_EnumPortsFailed, CE_StoreFailed, CE_LoadFailed, CE_RegFailed, CE_LedStateFailed,
    CE_ThreadCreated, CE_WaitFailed, CE_HasLink, CE_RegError, CEPortNotOpen
};

using TRxCharEvent = std::function<void(TObject* Sender, int Count)>;
using TRxBufEvent = std::function<void(TObject* Sender, const void* Buffer, int Count)>;
using TSerialSignalEvent = std::function<void(TObject* Sender, bool OnOff)>;
using TSerialErrorEvent = std::function<void(TObject* Sender, TSerialErrors Errors)>;
using TSerialExceptionEvent =
    std::function<void(TObject* Sender, TSerialExceptions TSerialException,
                       const std::string& ComportMessage, std::int64_t WinError,
                       const std::string& WinMessage)>;
