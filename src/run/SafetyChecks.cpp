#include "run/SafetyChecks.h"

#include "link/CtrlBox.h"

#include <QCoreApplication>
#include <algorithm>

namespace kv {

namespace {

// Speeds above this (N/s) stop a run as too fast.
constexpr float kTooFastSpeed = 60000.0f;

QString RunText(const char *text) { return QCoreApplication::translate("kv::TRunSequence", text); }

bool Fires(TSafetyCheck check, const TCheckInput &in, QString &message)
{
    const TCtrlBox &box = in.Box;
    switch (check) {
    case TSafetyCheck::LinkLost:
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence", "无法联系控制器,系统无法正常运行,请检查控制器是否打开!"));
        return !box.IsOnline();
    case TSafetyCheck::StreamRestarted:
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence",
                                            "控制器通讯中断后恢复,控制器可能已复位,本次加载无效,试验已停止!"));
        return box.StreamRestarts != in.State.StreamRestartsAtStart && box.IsOnline() && box.MissCount == 0;
    case TSafetyCheck::Overload:
        message = TCtrlBox::OverloadText();
        return box.Overloaded(in.Force);
    case TSafetyCheck::SwappedSensor:
        message = box.OtherChannelText();
        return box.OtherChannelTripped();
    case TSafetyCheck::CannotLoad: {
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence", "无法加载,可能原因是\n1.等待加载时间不够.\n2.初始开度不够.\n3.回油阀没关紧(液压式)"));
        const int waitedSeconds = in.State.WaitTicks * 100 / 1000;
        return in.Force < static_cast<float>(box.FForcedLoad) && box.FCantLoadTime < waitedSeconds;
    }
    case TSafetyCheck::InitialForce:
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence", "初始力值过大，系统无法加载，请检查是否清零！"));
        return in.State.WaitTicks < 10;
    case TSafetyCheck::Stalled: {
        // A specimen that fails below the start-judge force is never judged
        // broken: without this the run would go on loading nothing.
        const int seconds = std::max(box.FCantLoadTime, 1);
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence",
                                            "力值低于起始力值已超过%1秒，试验停止。\n可能原因：试件在破碎起判力值以下已经破坏。"))
                      .arg(seconds);
        return in.State.BelowStartSinceMs >= 0 && in.State.BelowStartSeconds >= static_cast<float>(seconds);
    }
    case TSafetyCheck::TooFast:
        message = RunText(QT_TRANSLATE_NOOP("kv::TRunSequence", "系统加载速度过快"));
        return in.Speed > kTooFastSpeed;
    case TSafetyCheck::IdleForce:
        message = QCoreApplication::translate("kv::TIdleMonitor",
                                              "当前力值超过设定的空闲保护力值,已进入保护状态,请先排查原因!");
        return in.ForceShown > box.FProtectLoad && !in.State.Protected() && !in.State.ProtectSuppressed;
    }
    return false;
}

} // namespace

const std::vector<TSafetyRule> &SafetyRules()
{
    static const std::vector<TSafetyRule> rules = {
        {TSafetyCheck::LinkLost, TCheckStage::BeforeSample, TCheckEnd::CloseAndUnload},
        {TSafetyCheck::StreamRestarted, TCheckStage::EverySample, TCheckEnd::StopAndUnload},
        {TSafetyCheck::Overload, TCheckStage::EverySample, TCheckEnd::StopAndUnload},
        {TSafetyCheck::SwappedSensor, TCheckStage::EverySample, TCheckEnd::StopAndUnload},
        {TSafetyCheck::CannotLoad, TCheckStage::Waiting, TCheckEnd::CloseAndUnload},
        {TSafetyCheck::InitialForce, TCheckStage::StartForce, TCheckEnd::StopAndUnload},
        {TSafetyCheck::Stalled, TCheckStage::Control, TCheckEnd::StopAndUnload},
        {TSafetyCheck::TooFast, TCheckStage::Judgement, TCheckEnd::StopAndUnload},
        {TSafetyCheck::IdleForce, TCheckStage::Idle, TCheckEnd::Protect},
    };
    return rules;
}

const TSafetyRule *FirstFiring(TCheckStage stage, const TCheckInput &in, QString &message)
{
    for (const TSafetyRule &rule : SafetyRules())
        if (rule.Stage == stage && Fires(rule.Check, in, message))
            return &rule;
    message.clear();
    return nullptr;
}

} // namespace kv
