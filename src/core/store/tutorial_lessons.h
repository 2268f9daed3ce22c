// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

namespace vantrel {

// The areas of the workspace the first-run tour points at, in lesson order.
enum class TutorialTarget { pitch, library, formation, player, pass, view, drawing, timeline };

struct TutorialLesson {
    TutorialTarget target;
    std::string_view title;
    std::string_view text;
};

// The eight lessons of the first-run tour, in order.
inline constexpr std::array<TutorialLesson, 8> kTutorialLessons{{
    {TutorialTarget::pitch, "你的战术画布",
     "这里是一切的中心。用 2D 精确设计站位，再用 3D 观察同一套战术的空间关系。接下来花一分钟，认识常用操作。"},
    {TutorialTarget::library, "从一套战术开始",
     "展开战术库，选择示范战术。点击 + 创建自己的战术；在战术范围中，可以找到「我的战术」和收藏。"},
    {TutorialTarget::formation, "先安排站位",
     "点击阵容，选择适合 7 人制或 11 人制的阵型。球员会自然移动到新位置，也可以继续手动调整。"},
    {TutorialTarget::player, "球员就是你的棋子",
     "单击选择球员，拖动改变站位。双击队友传球；按住 Control 再单击球员，才会打开球员小窗。选中后还能调整弧线跑位。"},
    {TutorialTarget::pass, "每一步，决定一种传球",
     "在这里选择地面球或高空球，只影响当前阶段的传球。3D 中可以看到足球滚动、升高和落地。"},
    {TutorialTarget::view, "换个角度看战术",
     "2D 和 3D 共享相同站位。旁边的眼睛和斜线图标可以开关视野与越位线。3D 适合观察高空球的轨迹与空间遮挡。"},
    {TutorialTarget::drawing, "用铅笔讲清楚想法",
     "点击这个图标打开绘图。可以画自由线、箭头、文字，也可以在图形菜单选择圆形、矩形和填充。颜色、粗细、透明度都在笔触面板里。"},
    {TutorialTarget::timeline, "让战术动起来",
     "点击播放，或按空格开始／暂停。点击阶段切换画面。如果修改了当前阶段，离开前会询问保存、不保存或取消。准备好了，就开始画你的第一套战术吧。"},
}};

}  // namespace vantrel
