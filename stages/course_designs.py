# The 55 designs of the built-in course (read by make_course.py). Rows are given bottom-up
# from row 13 by room(); each row string is the 18 interior cells.

def R(s):
    return s + "." * (18 - len(s))


def rm(*rows):
    return room(*[R(r) for r in rows])


# --- basics -------------------------------------------------------------------------------
stage(0, "first steps", "操作の基本を覚えよう　　　★",
      "walk, hop up a step, jump a gap, climb a ladder; falling into the gap only costs a hop",
      "walk right, hop the block, jump the gap, climb the ladder and walk left to the goal",
      "walking, hops, diagonal jumps, ladders",
      rm(".G..........H",
         "############H",
         "............H",
         "............H",
         "P...#.......H",
         "#######.##########"))

stage(1, "move it", "邪魔な物は移動させる　　　★",
      "a balloon stands in front of a low tunnel; with it over the head the tunnel is too low",
      "lift the balloon, turn, put it down behind you, turn back and walk through",
      "lifting and putting down",
      rm(".........######",
         "P.......B......G"))

stage(2, "one way", "牢屋は一度しか通れません　　　★",
      "the open jail closes behind the player; the key for the door lies behind the start",
      "fetch the key on the left first, then walk right through the jail and the door",
      "open jails close behind the player",
      rm("k.....P....x...D.G"))

stage(3, "ball order", "ボールを順序良く集めよう　　　★",
      "one ball lies in a cell behind an open jail; taking it last opens the jail and the barrier",
      "take the ball on the left, then walk through the jail to the other ball",
      "balls, jails and barriers",
      rm("..........#####",
         "..........#...#",
         "o....P....x.o.!..G"))

# --- ice ----------------------------------------------------------------------------------
stage(4, "drop it", "落とす場所を考えて　　　★",
      "a deep pit in front of the ice; a balloon dropped into it leaves a pit one can hop out of",
      "carry the balloon to the no-jump floor, drop it into the pit, step in, hop out, slide",
      "ice carries the player on; putting objects into pits",
      rm("P.B..............G",
         "########N.IIIIIIII",
         "#########.########",
         ""))

stage(5, "ice turn", "氷の上で方向転換が出来ないのなら・・　　　★★",
      "on ice the player slides to the next obstacle, so he can never stop beside the pillar; "
      "the single plain floor tile is the only place to stop",
      "slide to the balloon, lift it, slide back to the plain tile, put it down, hop twice",
      "ice: no turning or stopping except at obstacles and plain floor",
      rm("..G",
         "###",
         "###......P.......B",
         "###I#IIIIIIIIIIIII"))

stage(6, "stack", "風船を積み上げて壊れない足場に　　 ★★★",
      "a wall three cells high; two balloons stacked in the pit in front of it make a step",
      "drop the near balloon into the pit, fetch the one behind the start, drop it on the first, "
      "hop up twice",
      "stacking balloons",
      rm("................G",
         "..........########",
         "BP.B......########",
         "#########.########"))

stage(7, "keep the way", "ゴールへの道を残しておくこと　　 ★★★",
      "the pit before the ice is three deep; both balloons must go in, and the goal lies under a "
      "low roof so nothing may be carried along the ice",
      "drop the right balloon, fetch the left one, drop it too, step in, hop out and slide",
      "ice and pits",
      rm("...............###",
         "B.P.B............G",
         "########N.IIIIIIII",
         "#########.########",
         "#########.########"))

# --- conveyors ----------------------------------------------------------------------------
stage(8, "belts", "コンベアブロックに慣れよう　　　★",
      "a belt carries the player to a step; from the step he drops onto a belt that runs back",
      "ride the belt right, hop the step and the post, drop onto the left belt, ride to the goal",
      "conveyors carry the player and cannot be walked against",
      rm("..............#",
         "P.........####G",
         "##>>>>>>>>####<<<<"))

stage(9, "again and again", "一つのアイテムを何度も利用　　　★★",
      "one jump pad and two high ledges: the key on the right one, the door on the left one",
      "set the pad by the right ledge, bounce up for the key, come down, carry the pad to the "
      "left ledge, bounce up and open the door",
      "one jump pad used twice",
      rm("G.D...........k",
         "####..........####",
         "####..........####",
         "####......PJ..####"))

stage(10, "all balloons", "全てのバルーンを持ってこよう　　　★★",
      "two balloons on a belt shelf above a pit by a ledge three high; the belt carries the player to the pit edge, and the single belt cell on the way back has to be jumped",
      "drop the near balloon into the pit, jump the belt cell, fetch the one behind the start, drop it on the first, hop up twice",
      "carrying objects along conveyors",
      rm(".G................",
         "########..........",
         "########......B.PB",
         "########.##<######"))

stage(11, "the right road", "通るべき道、通らない道　　　★★★★",
      "the double door takes two keys: one falls to the player at the end of the upper belt, the "
      "other lies in the pit the lower belt runs into; that pit has no way out unless a balloon "
      "was dropped into it first, and neither belt can be walked back",
      "put the balloon into the pit, climb the ladder, ride the upper belt to the key, ride the "
      "lower belt into the pit for the second key, hop out over the balloon, climb and ride the "
      "upper belt again, then open the double door",
      "choosing which belt to ride, and when",
      rm("...k.............H",
         "###.<<<<<<<<<<<<<H",
         "###..............H",
         "GDD..........BP..H",
         "####>>>>>>>..#####",
         "###########k.#####"))

# --- items A ------------------------------------------------------------------------------
stage(12, "grab it", "取れるアイテムはすぐに取る？　　　★",
      "keys lie along the way to three doors; each key is in reach when it is needed",
      "walk left, taking each key before its door",
      "keys open doors",
      rm("",
         "G.D.k.D..k.D..k..P"))

stage(13, "key point", "鍵がポイント！　　　★★★★★",
      "four keys for four doors, and the double door before the goal takes two at once; the two "
      "holes in the upper floor are one-way drops, and the last key sits on a shelf that only a "
      "balloon reaches",
      "take the key, open the door, take the key between the holes, jump the second hole for the "
      "far key, come back and drop through it, open the middle door, stand the balloon under the "
      "shelf for the fourth key, walk back through the middle door and open the double door",
      "keys and doors: counting the keys before every drop",
      rm("P.k.D.....k.....k.",
         "#######.######.###",
         "####......#.......",
         "####......#......k",
         "####......#......#",
         "G.DD......D.B....#"))

stage(14, "ball column", "縦に並んだボールの取り方に注意　　　★★★★",
      "balls stand one above another in a shaft; the last one opens the jail that shuts the way "
      "back, so the lone ball outside must be taken first",
      "take the ball by the barrier, jump into the ladder, climb, drop down the shaft through the balls and leave by the jail",
      "balls in a column and the jail that opens",
      rm("....H##.#.........",
         "....H..o..........",
         "....H.#o#.........",
         "....H.#o#.........",
         "....H.#o#.........",
         "##..H.#.#.........",
         "G!o.P.x.#........."))

stage(15, "way back", "帰り道のことも忘れずに　　　★★★",
      "the key lies at the bottom of a pit two deep and two wide; without something to stand on there is no way out",
      "fetch the balloon from behind the start, drop it into the pit, step down for the key, hop out onto the balloon and out, open the door",
      "planning the way back",
      rm("G.D..B.P..........",
         "########..########",
         "########.k########",
         "##################"))

# --- first designer, part one ----------------------------------------------------------------
stage(16, "hop hop hop", "連続ジャンプ！　　　★★",
      "a row of one-cell gaps over deep pits and steps between them",
      "jump each gap and hop each step without stopping to think",
      "diagonal jumps and hops in a row",
      rm("..............#..G",
         "P.....#.....###.##",
         "##.#.###.#.####.##",
         "##.#.###.#.####.##"))

stage(17, "ice stopper", "氷の上にストッパーを置こう　　　★★★",
      "the ladder to the goal hangs above the ice, out of reach while sliding",
      "fetch the balloon from the far end, slide back to the plain tile, put it down beside the "
      "ladder, hop onto it and step into the ladder",
      "a balloon as a stopper on ice",
      rm(".........G",
         ".........H",
         ".........H",
         ".........H",
         ".........H",
         ".........H",
         ".........H",
         ".........H",
         ".........H",
         "P................B",
         "IIIIIIIIIII#IIIIII"))

stage(18, "do not drift", "流されないようにするためには・・　　　★★★",
      "a belt runs under the goal ledge into a pit and nothing on it stops the player; a balloon "
      "dropped from the shelf above onto the belt is the stopper and then the step up; the block "
      "over the ledge keeps a jump from the shelf off it",
      "carry the balloon to the shelf edge and drop it onto the belt, then step down onto it (or "
      "climb down the ladder and ride the belt against it), hop up onto the goal ledge",
      "a balloon as a stopper on a conveyor",
      rm("HP.B.....#",
         "H#######..G",
         "H........###",
         "H",
         "##>>>>>>>>>>>>>>..",
         "################.."))

stage(19, "from both sides", "両脇の物を上手く集めてこよう　　　★★★★",
      "one ball on each side and the goal between two barriers under a roof; the only way from one side to the other is the bridge over the roof",
      "take the right ball, climb the ladder, cross the bridge, climb down, take the left ball and walk to the goal",
      "gathering items from both sides",
      rm("....H.......H.....",
         "....H#######H.....",
         "....H.......H.....",
         "....H.#####.H.....",
         "o...H.!.G.!.H.P..o"))

# --- second designer, part one ---------------------------------------------------------------
stage(20, "start dash", "スタートダッシュ！　　　★★",
      "a balloon starts falling down a shaft at once; it shuts the low corridor if the player waits",
      "run left under the shaft at once, before the balloon lands, and on to the goal",
      "falling balloons and timing",
      rm("...........B",
         "...........#",
         "...........#",
         "...........#",
         "...........#",
         "...........#",
         "...........#",
         "...........#",
         "...........#",
         "############.#####",
         "G................P"))

stage(21, "careful carrying", "アイテム運びは慎重に　　　★★★",
      "the balloon must reach the wall on the left; the upper way passes an open jail, which nothing can be carried into",
      "carry the balloon down the hole into the lower hall, along it to the wall, put it down and climb",
      "carrying rules: head room and jails",
      rm("........x......BP.",
         "G...#########.####",
         "##................",
         "##................"))

stage(22, "many clouds", "雲の多さに惑わされない　　　★★",
      "a cloud bridge over a pit under a sky full of clouds; every cloud carries the player once",
      "walk across the bridge without stopping and hop up to the goal",
      "clouds vanish once left",
      rm(".........C.C.C....",
         "..........C.C.....",
         ".........C...C..G.",
         "P..............###",
         "#######CCCCCCCC###",
         "#######........###"))

stage(23, "break or keep", "壊す、壊さないの判断をしっかり　　　★★★",
      "a cloud in the floor drops the player to the key; the ladder leads back up, and the cloud bridge on the right carries him over the pit only once",
      "break the floor cloud by walking over it and back, drop for the key, climb the ladder, cross the bridge and open the door",
      "breaking clouds or keeping them",
      rm("P...............DG",
         "####C##H##CCCC####",
         "###....H##....####",
         "###.k..H##....####"))

# --- barriers -------------------------------------------------------------------------------
stage(24, "barrier basics", "バリアの特徴を掴もう　　　★★",
      "a barrier holds a balloon over a pit; the last ball removes the barrier and drops the "
      "balloon into the pit, which makes the pit crossable",
      "take both balls, watch the balloon fall, walk over it to the goal",
      "barriers vanish with the last ball",
      rm("..........B",
         "..........!",
         "o........P.......G",
         "##########.#######",
         "##########.#######"))

stage(25, "before the barrier goes", "バリアを消す前に・・　　　★★★",
      "a barrier bridge leads to the key; once the last ball is taken the bridge is gone",
      "climb the ladder and cross the barrier bridge for the key, come back down, then take the ball and open the door",
      "using barriers before removing them",
      rm(".........H.k......",
         ".........H#!!!!#..",
         "..#......H#....#..",
         "G.D..o.P.H#....#.."))

stage(26, "keep it open", "道を塞がれないように注意しよう　　　★★",
      "balloons rest on barriers over the corridor; when the barriers go they drop into it",
      "move the balloon above the corridor out of the way before taking the last ball",
      "objects falling when barriers vanish",
      rm("....B.....",
         "...#!#....",
         "P.o.......G#.....o"))

stage(27, "stairs", "階段をセット　　　★★★★",
      "a ledge three high with the goal behind a barrier; two balloons stacked in the pit make the stairs, and the ball on the shelf removes the barrier",
      "drop the near balloon into the pit, fetch the one behind the start, drop it on the first, take the ball, hop up",
      "building stairs",
      rm("...............##.",
         "...............!G.",
         "..........########",
         "BP.B....o.########",
         "#########.########"))

# --- timing ---------------------------------------------------------------------------------
stage(28, "speed", "スピード勝負！　　　★★",
      "three balloons fall down shafts into the low corridor, one after another",
      "run right at once and keep running; a pause lets a balloon shut the corridor",
      "racing falling balloons",
      rm("....B....B....B",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "....#....#....#",
         "#####.####.####.##",
         "P................G"))

stage(29, "careful start", "スタートは慎重に　　　★★★★",
      "the start stands in the middle of a bridge of clouds over a deep pit; every cloud the "
      "player stands on vanishes when he leaves it, the key lies on the far left ledge and the "
      "door on the right, so walking for the key burns the way back",
      "jump from cloud to cloud towards the key so that every other cloud is never stood on, "
      "take the key, and come back over the untouched clouds to the door",
      "clouds vanish once left; jumps skip them",
      rm(".k......P.....D.G.",
         "###CCCCCCCCCC#####",
         "###..........#####",
         "###..........#####"))

stage(30, "to the very end", "ゴール直前で気を抜かない　　　★★★",
      "an ice floor slides the player to a pit just before the goal; one plain tile is the only place to stop",
      "slide onto the plain tile, jump the pit onto the ice beyond and slide into the goal",
      "ice near the goal",
      rm("P...............G.",
         "####IIIIII#.IIIII#",
         "###########.######"))

stage(31, "how to stop", "止まる方法は？　　　★★",
      "long ice floors; the ladder cells are the only places to stop",
      "slide left into the ladder, climb to the next ice floor, slide into the next ladder and climb to the goal",
      "stopping on ice",
      rm("G.................",
         "IIIIIIIIIHIIIIIIII",
         ".........H........",
         ".........H........",
         "IIIIIIIIIIIIIIHIII",
         "..............H...",
         "..............H..P",
         "IIIIIIIIIIIIIIIIII"))

# --- first designer, part two ----------------------------------------------------------------
stage(32, "instead of clouds", "雲の代わりに・・　　　★★★★★",
      "a wall two high with a cloud step on one side; the cloud breaks after one use, and the way back over the wall needs a step that lasts",
      "hop up over the cloud and the wall, take the key and the balloon on the far side, put the balloon by the wall, climb back and open the door",
      "a balloon in place of a cloud",
      rm("........##......##",
         "..k.B...##C.P...DG"))

stage(33, "take what you can", "まずは取れるものから　　　★★",
      "two loose balls and one behind an open jail; entering the jail early shuts the player in",
      "take the two loose balls, then walk through the jail to the last one",
      "ball order",
      rm("##...........####.",
         "G!..o..P...o.x.o#."))

stage(34, "drop them all?", "全部を落として良いのかな？　　　★★★★",
      "a pit one deep and a wall two high; one balloon fills the pit, the other is the step at the wall, and dropping both into the pit wastes the step",
      "drop one balloon into the pit, carry the other over it to the wall and climb",
      "deciding what to drop",
      rm("..............#...",
         "B.P.B.........#.G.",
         "#######.##########"))

stage(35, "landing loss", "着地時のタイムロスにご用心　　　★★★",
      "balloons fall into the corridor; every landing after a jump costs frames",
      "walk off the steps instead of jumping down, and run under the shafts",
      "landing time and falling objects",
      rm(".......B.....B",
         ".......#.....#",
         ".......#.....#",
         ".......#.....#",
         ".......#.....#",
         ".......#.....#",
         "P......#.....#",
         "##.....#.....#",
         "###..#####.#####.#",
         "#................G"))

# --- items B --------------------------------------------------------------------------------
stage(36, "not greedy", "欲張る必要はないのです　　　★★★",
      "keys in three pits; two shallow pits let the player hop out, the deep one does not, and two keys are enough",
      "drop into the two shallow pits for their keys, jump over the deep one and open both doors",
      "keys: take only what is needed",
      rm("P..............DDG",
         "####k##k##.#######",
         "##########k#######"))

stage(37, "dig", "道を残して掘り進め　　　★★★★",
      "the goal is behind a door and the key lies under two cloud floors; a ladder leads back up beside them",
      "jump on the clouds to dig down to the key, climb the ladder back and jump over the hole to the door",
      "digging through clouds",
      rm("G.D.P.H###########",
         "####C#H###########",
         "###...H###########",
         "###CCCH###########",
         "###.k.H###########"))

stage(38, "what is needed", "本当に必要なものはどれ？　　　★★★★",
      "a balloon, a jump pad and a key lie on the floor below a ledge three high; only the pad reaches it",
      "carry the pad to the foot of the ledge, hop onto it and bounce up sideways onto the ledge",
      "choosing the right item",
      rm("G.................",
         "###...............",
         "###...............",
         "###....J..kP.B...."))

stage(39, "pads", "ジャンプ台を上手く使おう　　　★★★★★",
      "two ledges, each three high; one pad lies on the floor, the other on the first ledge",
      "set the first pad by the lower ledge and bounce up, carry the second pad to the foot of the upper ledge and bounce again",
      "jump pads",
      rm("................G.",
         "...............###",
         "...............###",
         "............J..###",
         "...........#######",
         "...........#######",
         "..P.J......#######"))

# --- second designer, part two ---------------------------------------------------------------
stage(40, "bucket relay", "バケツリレー　　　★★★",
      "a balloon must go down three floors; it cannot be carried down a ladder, so it is dropped through the holes and picked up again on each floor",
      "drop the balloon through the hole, jump the hole, climb down, carry it to the next hole, climb down and use it as a step at the wall",
      "passing an object down, like buckets in a chain",
      rm("P.B.......H.......",
         "########.#H#######",
         "..........H.......",
         "..........H.......",
         "###.#########H##.G",
         ".............H..##",
         ".............H..##"))

stage(41, "check every set", "全てのセットを良く確認しよう　　　★★★",
      "three doors and three keys; one key hides behind a door of its own row",
      "take the keys in the order the rows allow and open the doors from the bottom up",
      "keys and doors in sets",
      rm("G.D.........k",
         "##########H#####..",
         "..k..D....H.......",
         "######H#########..",
         "P.....H...D....k.."))

stage(42, "do not get shut in", "閉じ込められないよう注意　　　★★★",
      "balls in two rooms behind open jails; the left room has a ladder out, the right room none",
      "go through the left jail for the ball and out by the ladder and the bridge, then through the right jail for the last ball",
      "jails close behind the player",
      rm(".H................",
         ".H#####...........",
         ".H#...............",
         ".H#.....#########",
         "oHx..P..x.o!G#####"))

stage(43, "preparation", "下準備を怠りなく　　　★★★★",
      "the goal is beyond a barrier over a pit; when the barrier goes, a balloon set on it falls in "
      "and fills the pit",
      "carry the balloon onto the barrier, then take the last ball and walk over the filled pit",
      "setting things up before the barrier vanishes",
      rm("o.B...P.....!!!..G",
         "########.#########",
         "########.#########"))

# --- summary --------------------------------------------------------------------------------
stage(44, "when to break", "壊すべき時を見極めよう　　　★★★★★",
      "the ladder ends on a cloud over the room with the goal; the key is on the side shelf beside the ladder's foot",
      "climb down, walk to the shelf for the key first, then break the cloud with Down and drop to the door",
      "when to break a cloud",
      rm("P...H#############",
         "####H#############",
         "####H#############",
         "####H#############",
         "####H#############",
         "####H#############",
         "####H..k##########",
         "####C#############",
         "###....###########",
         "###....###########",
         "###..DG###########"))

stage(45, "check the way", "通れる場所を良くチェック　　　★★★",
      "a wall beside a no-jump floor stops a hop; the ladder over the wall is the way",
      "climb the ladder, walk over the bridge and drop down to the goal",
      "reading the stage",
      rm("..H...............",
         "..H#######........",
         "..H...............",
         "..H...............",
         "P.H..#........G...",
         "####N#############"))

stage(46, "last ball", "最後に取るボールを間違えないで　　　★★★★",
      "three balls, and the barriers are both the steps to them and the lid over the goal: the "
      "ball in the pit needs the barrier step to climb out, the ball in the middle leaves the "
      "player below the ledge once the barrier stairs are gone, and only the ball on the ledge "
      "stands right above the goal",
      "take the ball by the start, take the pit ball and climb out over the barrier step, climb "
      "the barrier stairs, take the ledge ball last and drop through the opened lid into the goal",
      "choosing the last ball",
      rm("................o.",
         "..............!##!",
         "........Po...!###G",
         "##..##############",
         "##o!##############"))

stage(47, "nothing in the way", "余計な物に邪魔されないように　　　★★★★★",
      "balloons on barriers above the way drop in when the barriers go; they must be moved off first",
      "lift the balloons off the barrier bridge, set them aside, then take the last ball",
      "objects falling into the way",
      rm("......B.B.........",
         "......!!!.........",
         "P..........o...B.G"))

# --- final ----------------------------------------------------------------------------------
stage(48, "cancel the pad", "ジャンプ台の効果を打ち消せ！　　　★★★★",
      "a jump pad under a barrier; while the barrier stands the pad's launch is cut and the player can step off it into the low goal cell, and the ball on the way would remove the barrier",
      "jump over the ball, hop onto the pad and walk off it into the goal",
      "cutting a pad launch",
      rm("........!#########",
         ".........G########",
         "P.....o.J#########"))

stage(49, "two jails", "二段の牢屋をくぐるには・・　　　★★★★★",
      "three balls, two jails in a row and a barrier; each jail closes behind the player",
      "take the ball behind the start, pass the first jail, take the middle ball, pass the second jail and take the last ball",
      "passing two jails",
      rm("...........##.....",
         "o.P.x.o.x.o.!G####"))

# --- bonus ----------------------------------------------------------------------------------
stage(50, "cancel and prepare", "打消しと下準備の二つが重要　　　★★★★",
      "the same pad under a barrier, mirrored, with the ball beside the pad",
      "jump over the ball, hop onto the pad and walk off it into the goal",
      "pad cutting and preparation",
      rm("#########!........",
         "########G.........",
         "########.J.o.....P",
         "#########.########"))

stage(51, "too tidy", "きっちりクリアしようとしても？？　　　★★★",
      "the barriers are the bridge over the pit before the goal, and they go when the last ball "
      "is taken; three balls lie in a low tunnel that has to be walked through, the fourth sits "
      "under the one gap in its roof",
      "walk through the tunnel, jump over the ball under the gap instead of taking it, cross the "
      "barrier bridge to the goal",
      "barriers vanish with the last ball: leave one",
      rm("........#...#####.",
         "G.........o.o.o.oP",
         "####!!!###########",
         "####...###########"))

stage(52, "before the barriers go", "バリアを消す前に・・　　　★★★★",
      "a barrier stair leads to the key and down to the far side, where the ball lies; taking it first would leave no stair",
      "climb the barrier stair for the key, drop down on the far side, take the ball and open the door",
      "using barriers before they vanish",
      rm(".......k..........",
         ".......!..........",
         ".......!!.........",
         ".##....!!!........",
         "G!D.o..!!!!......P"))

stage(53, "in order", "やるべき事を順序良く　　　★★★★★",
      "a key, a door, a balloon, a wall with the ball on top and barriers at the goal; each must come in its turn",
      "carry the balloon to the wall, climb for the ball, come back for the key, open the door and walk to the goal",
      "everything in its order",
      rm("................o.",
         "##.............###",
         "G!..D...k.B.P..###"))

stage(54, "thank you", "THANK YOU FOR PLAYING！！　　　★",
      "a gentle walk past a few balls of every kind of floor, with the goal at the end",
      "walk left, hop the steps and take the goal",
      "a farewell",
      rm("......C.C.C.......",
         "..................",
         "G...o...#...o...P.",
         "########>#IIII####"))

stage(55, "spare", "", "the unused slot: an empty room", "walk to the goal", "none",
      rm("P...............G"))
