; Quillmere: the natives of quillmere.dll, as the mod's scripts import them.
; The library registers every function below under this script; the structs
; are the shapes its readers fill, member by member in this order.
Scriptname Quillmere Native Hidden

; A blueprint's header (GetBlueprintHeader).
Struct BlueprintHeader
	String export_date
	Int item_count
	String player_name
	Float plugin_version
	String settlement_name
	String worldspace_id
	Int worldspace_id_dec
	String worldspace_name
	String worldspace_plugin
EndStruct

; The workshop that owns the settlement (GetWorkshopData).
Struct WorkshopData
	String workshop_id
	Int workshop_id_dec
	Int workshop_baseid_dec
	String workshop_plugin
	Float posX
	Float posY
	Float posZ
	Float rotX
	Float rotY
	Float rotZ
EndStruct

; One placed object (GetItemsFromBlueprint). FormID is the local id in six
; hexadecimal digits; FormID_dec the exporting game's full form id.
Struct SettlementItem
	String plugin_name
	String FormID
	Int FormID_dec
	String name
	Float posX
	Float posY
	Float posZ
	Float rotX
	Float rotY
	Float rotZ
EndStruct

; The flags of one placed object (GetExtraPropsFromBlueprint), parallel to
; the items.
Struct ExtraProperties
	Int isPowered
	Int isGenerator
	Int isCreated
	Int isActor
	Int isTurret
	Int isFarmAnimal
	Int isTamedCreature
EndStruct

; The struct of the two test natives.
Struct MyStruct
	String member1
	String member2
	Int member3
	Int member4
EndStruct

; Test natives: a struct, and an array holding one.
MyStruct Function GetOutData() Global Native
MyStruct[] Function GetStructOutData() Global Native

; Exporting a settlement: Init, SaveHeader, SaveWorkshopData, then per batch of
; up to 128 objects Save128Items and Save128ExtraProps, then StoreDataToBlueprint.
Bool Function Init(ObjectReference akPlayer, Float afPluginVersion, Int aiDebugLevel) Global Native

; Reading a blueprint back; asBlueprint is a path relative to the game folder.
BlueprintHeader Function GetBlueprintHeader(String asBlueprint) Global Native
String[] Function GetPluginsRequired(String asBlueprint) Global Native
WorkshopData Function GetWorkshopData(String asBlueprint) Global Native
SettlementItem[] Function GetItemsFromBlueprint(String asBlueprint) Global Native
ExtraProperties[] Function GetExtraPropsFromBlueprint(String asBlueprint) Global Native

Bool Function SaveHeader(Int aiItemCount, Form akWorldspace, Form akLocation) Global Native
Bool Function SaveWorkshopData(ObjectReference akWorkshop, Form akWorkshopBase, Float afPosX, Float afPosY, Float afPosZ, Float afRotX, Float afRotY, Float afRotZ) Global Native
Bool Function Save128Items(Form[] akForms, ObjectReference[] akRefs, Float[] afPosX, Float[] afPosY, Float[] afPosZ, Float[] afRotX, Float[] afRotY, Float[] afRotZ) Global Native
Bool Function Save128ExtraProps(Int[] aiIsPowered, Int[] aiIsGenerator, Int[] aiIsCreated, Int[] aiIsActor, Int[] aiIsTurret, Int[] aiIsFarmAnimal, Int[] aiIsTamedCreature) Global Native
; asSlotFolder: "Data/Plexor/Plugins/Quillmere/blueprints/" followed by the slot, 1 to 10.
Bool Function StoreDataToBlueprint(String asSlotFolder) Global Native

; The file name in each of the ten slot folders, "empty" or "none"; the text
; is not read.
String[] Function LoadBlueprintList(String asUnused) Global Native

; The location's full name.
String Function GetLocationName(Form akLocation) Global Native

; Script-array helpers: New* makes an array of the count; *Push appends and
; *Set overwrites (both also change the array passed in); *Merge appends the
; second array to the first.
Int[] Function NewIntArray(Int aiCount) Global Native
Int[] Function IntArrayPush(Int[] aiArray, Int aiValue) Global Native
Int[] Function IntArraySet(Int[] aiArray, Int aiValue, Int aiIndex) Global Native
Int[] Function IntArrayMerge(Int[] aiFirst, Int[] aiSecond) Global Native
Float[] Function NewFloatArray(Int aiCount) Global Native
Float[] Function FloatArrayPush(Float[] afArray, Float afValue) Global Native
Float[] Function FloatArraySet(Float[] afArray, Float afValue, Int aiIndex) Global Native
Float[] Function FloatArrayMerge(Float[] afFirst, Float[] afSecond) Global Native
String[] Function NewStringArray(Int aiCount) Global Native
String[] Function StringArrayPush(String[] asArray, String asValue) Global Native
String[] Function StringArraySet(String[] asArray, String asValue, Int aiIndex) Global Native
String[] Function StringArrayMerge(String[] asFirst, String[] asSecond) Global Native
Form[] Function NewFormArray(Int aiCount) Global Native
Form[] Function FormArrayPush(Form[] akArray, Form akValue) Global Native
Form[] Function FormArraySet(Form[] akArray, Form akValue, Int aiIndex) Global Native
Form[] Function FormArrayMerge(Form[] akFirst, Form[] akSecond) Global Native
ObjectReference[] Function NewObjectReferenceArray(Int aiCount) Global Native
ObjectReference[] Function ObjectReferenceArrayPush(ObjectReference[] akArray, ObjectReference akValue) Global Native
ObjectReference[] Function ObjectReferenceArraySet(ObjectReference[] akArray, ObjectReference akValue, Int aiIndex) Global Native
ObjectReference[] Function ObjectReferenceArrayMerge(ObjectReference[] akFirst, ObjectReference[] akSecond) Global Native

; Load-order indices of the game's add-ons.
Int[] Function GetDLCIndexArray() Global Native
