// 2D__: creating, selecting, placing and removing 2D objects.
#include "script/command_signature.h"
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/commands/placement.h"
#include "stage/display_list.h"

namespace avg {
namespace {

// Gives `object` the animation named by words k (set) and k + 1 (animation), from the start
// step in word k + 2 (default 0).
void showAnimation(Exec& x, DisplayList& stage, DisplayObject2D& object, size_t k) {
  const std::string& setName = x.stringValue(k);
  const std::string& animationName = x.stringValue(k + 1);
  object.show(stage.sprites().findAnimation(setName, animationName), x.intOr(k + 2, 0));
  object.setName = setName;
  object.animationName = animationName;
}

// 2D__ ADD_ name set animation [x y priority start]: creates an object and makes it current.
void addObject(Exec& x, DisplayList& stage) {
  const std::string& setName = x.stringValue(3);
  const std::string& animationName = x.stringValue(4);
  DisplayObject2D* object = stage.objects().add(
      x.stringValue(2), stage.sprites().findAnimation(setName, animationName), x.floatOr(5, 0.0f),
      x.floatOr(6, 0.0f), x.intOr(7, kDefaultPriority), x.intOr(8, 0));
  if (object) {
    object->setName = setName;
    object->animationName = animationName;
  }
  stage.objects().setCurrent(object);
}

// 2D__ SPR_ name set animation [start]: makes the object current and gives it an animation.
void changeNamedObject(Exec& x, DisplayList& stage) {
  DisplayObject2D* object = stage.objects().find(x.stringValue(2));
  stage.objects().setCurrent(object);
  if (object) showAnimation(x, stage, *object, 3);
}

// 2D__ SET_ POS_ x y | SCA_ sx sy | ROT_ x y z (degrees) | SPR_ set animation [start] | REF_:
// changes the current object.
void setOnCurrent(Exec& x, DisplayList& stage) {
  DisplayObject2D* object = stage.objects().current();
  if (!object || placementCommand(x, *object, AngleUnit::Degrees)) return;
  if (x.keyword(2) == fourCC("SPR_")) showAnimation(x, stage, *object, 3);
}

// 2D__ ADD_ | EDIT name | SPR_ | DEL_ name | CLE_ | SET_ ...: 2D objects.
Outcome object2D(Exec& x) {
  DisplayList& stage = x.engine.companion<DisplayList>();
  switch (x.keyword(1)) {
    case fourCC("ADD_"):
      addObject(x, stage);
      break;
    case fourCC("EDIT"):
      stage.objects().setCurrent(stage.objects().find(x.stringValue(2)));
      break;
    case fourCC("SPR_"):
      changeNamedObject(x, stage);
      break;
    case fourCC("DEL_"):
      stage.objects().remove(x.stringValue(2));
      break;
    case fourCC("CLE_"):
      stage.objects().removeAll();
      break;
    case fourCC("SET_"):
      setOnCurrent(x, stage);
      break;
  }
  return x.next();
}

}  // namespace

void registerObject2DCommands(CommandTable& table) {
  table.add("2D__", object2D,
            "ADD_ name:str set:str animation:str [x:float] [y:float] [priority:int] "
            "[start:int] | EDIT name:str | SPR_ name:str set:str animation:str [start:int] | "
            "DEL_ name:str | CLE_ | SET_ SPR_ set:str animation:str [start:int] | " +
                withPrefix("SET_", kPlacementForms));
}

}  // namespace avg
